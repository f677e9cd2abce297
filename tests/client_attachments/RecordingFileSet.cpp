#include "tests/client_attachments/RecordingFileSet.h"

#include <QMutexLocker>

#include <velmora/Com.h>

namespace tarnwick::test {

namespace {

// A stored file as Add hands it out: only its ID is asked for.
class AddedFile final : public IFile {
  public:
    explicit AddedFile(LONG id) : id_(id) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        if (!ppvObject) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IFile) {
            *ppvObject = static_cast<IFile*>(this);
            AddRef();
            return S_OK;
        }
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetFile(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OpenFile() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_FileName(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_FileName(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_FullName(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_FullName(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ID(LONG* pVal) override {
        if (!pVal) return E_POINTER;
        *pVal = id_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_FileSize(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_FileSize(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_FileDate(DATE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_FileDate(DATE) override { return E_NOTIMPL; }

  private:
    std::atomic<ULONG> references_{1};
    LONG id_;
};

} // namespace

QStringList RecordingFileSet::calls() const {
    QMutexLocker lock(&mutex_);
    return calls_;
}

void RecordingFileSet::record(const QString& call) {
    QMutexLocker lock(&mutex_);
    calls_.append(call);
}

HRESULT RecordingFileSet::refuse(const QString& text) {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.Put()))) {
        const Bstr description = ToBstr(text);
        create->SetDescription(description.Get());
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(info.Put()))))
            SetErrorInfo(0, info.Get());
    }
    return E_FAIL;
}

HRESULT RecordingFileSet::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IFileSet) {
        *ppvObject = static_cast<IFileSet*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG RecordingFileSet::Release() {
    // Lives on the test's stack: the count is kept but never frees.
    return --references_;
}

HRESULT RecordingFileSet::get_Count(LONG* pVal) {
    *pVal = 0;
    return S_OK;
}

HRESULT RecordingFileSet::get_BugID(LONG* pVal) {
    *pVal = 1;
    return S_OK;
}

HRESULT RecordingFileSet::Add(BSTR bstrFileName, IFile** ppFile) {
    *ppFile = nullptr;
    const QString path = FromBstr(bstrFileName);
    lastAddThread_ = QThread::currentThread();
    if (path == heldPath) {
        holding_ = true;
        held_.acquire();
    }
    record(QStringLiteral("Add ") + path);
    if (refusedPaths.contains(path)) return refuse(refusal);
    *ppFile = new AddedFile(nextId_++);
    return S_OK;
}

HRESULT RecordingFileSet::RemoveByID(LONG ID) {
    record(QStringLiteral("RemoveByID %1").arg(ID));
    if (refusedIds.contains(ID)) return refuse(QStringLiteral("Delete file failed!"));
    return S_OK;
}

HRESULT RecordingFileSet::Append(IFile* pFile) {
    LONG id = 0;
    pFile->get_ID(&id);
    record(QStringLiteral("Append %1").arg(id));
    return S_OK;
}

} // namespace tarnwick::test
