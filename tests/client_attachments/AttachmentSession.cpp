#include "tests/client_attachments/AttachmentSession.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include <stdexcept>

namespace tarnwick::test {

namespace {

// Makes the first version of mhart's products active whose right allows editing attachments.
void ActivateVersionWithAttachmentRight(IExeContext* context) {
    auto products = Object(context, &IExeContext::get_CurUserProductSet);
    const LONG productCount = Long(products.Get(), &IProductSet::get_Count);
    for (LONG p = 0; p < productCount; ++p) {
        auto product = Item(products.Get(), &IProductSet::get_Item, p);
        const LONG versions = Long(product.Get(), &IProduct::get_VersionCount);
        for (LONG v = 0; v < versions; ++v) {
            const LONG id =
                Long(Item(product.Get(), &IProduct::get_Version, v).Get(), &IVersion::get_ID);
            if (FAILED(context->SetActiveProduct(id))) continue;
            ComPtr<IRight> right;
            if (FAILED(context->get_CurRight(right.Put())) || !right) continue;
            LONG attach = 0, add = 0;
            right->get_EditAttachment(&attach);
            right->get_Add(&add);
            if (attach > 0 && add > 0) return;
        }
    }
    throw std::runtime_error("mhart has no version with the right to edit attachments");
}

} // namespace

BugEditorState AttachmentSession::EditState() const {
    BugEditorState state;
    state.session = context;
    state.bug = bug;
    state.right = Object(context.Get(), &IExeContext::get_CurRight);
    state.mode = BugEditorState::Edit;
    return state;
}

ComPtr<IFileSet> AttachmentSession::Files() const {
    return Object(bug.Get(), &IBug::get_AttachedFiles);
}

QStringList AttachmentSession::FileNames() const {
    QStringList names;
    const ComPtr<IFileSet> files = Files();
    const LONG count = Long(files.Get(), &IFileSet::get_Count);
    for (LONG i = 0; i < count; ++i)
        names.append(Text(Item(files.Get(), &IFileSet::get_Item, i).Get(), &IFile::get_FileName));
    return names;
}

LONG AttachmentSession::Attach(const QString& path) const {
    ComPtr<IFile> added;
    Check(Files()->Add(ToBstr(path).Get(), added.Put()));
    return Long(added.Get(), &IFile::get_ID);
}

AttachmentSession OpenAttachmentSession(const QString& database, const QString& description) {
    AttachmentSession session;
    session.context = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
    Check(session.context->OpenAccessDB(ToBstr(database).Get()));
    Check(session.context->Login(ToBstr(QStringLiteral("mhart")).Get(),
                                 ToBstr(QStringLiteral("mhart-demo")).Get()));
    ActivateVersionWithAttachmentRight(session.context.Get());
    Check(session.context->OpenBugSet(nullptr, session.bugs.Put()));
    auto version = Object(session.context.Get(), &IExeContext::get_ActiveVersion);
    auto bug = Create<IBug>(CLSID_Bug, IID_IBug);
    Check(bug->put_Description(ToBstr(description).Get()));
    Check(bug->put_Status(ToBstr(QStringLiteral("New")).Get()));
    Check(bug->put_ReportedInVersionID(Long(version.Get(), &IVersion::get_ID)));
    Check(bug->put_BugType(eBug));
    Check(session.bugs->Add(bug.Get(), session.bug.Put()));
    return session;
}

QString WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a test file");
    return path;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray NoiseBytes(qsizetype size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    random.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

} // namespace tarnwick::test
