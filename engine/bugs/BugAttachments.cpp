// A bug's attachment list: built afresh from tAttachment on every request.
#include <string>

#include "engine/bugs/AttachFile.h"
#include "engine/bugs/Bug.h"
#include "engine/bugs/FileSet.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "engine/mapping/FieldConversion.h"

namespace velmora::engine {

HRESULT CBug::get_AttachedFiles(IFileSet** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    return Guard([&] {
        auto files = CreateObject<CFileSet>();
        const HRESULT read =
            Guard(Info(), {"Get bug's attachment failed", 2, "CBug::get_AttachedFiles"}, [&] {
                db::Recordset rows;
                rows.Open("SELECT AttachmentID, FileName, FileSize, FileDate FROM tAttachment "
                          "WHERE BugID=?",
                          {db::Value::Int(data_.id)}, db::ProcessConnectionString(), db::CursorType::ForwardOnly,
                          db::LockType::ReadOnly);
                for (; !rows.IsEOF(); rows.MoveNext()) {
                    auto file = CreateObject<CAttachFile>();
                    AttachFileData& data = file->Data();
                    data.id = VariantToLong(rows.GetValue(0));
                    data.fileName = VariantToString(rows.GetValue(1));
                    data.fileSize = VariantToLong(rows.GetValue(2));
                    data.fileDate = VariantToDate(rows.GetValue(3));
                    // A list missing an entry for want of memory is not handed out as complete.
                    if (const HRESULT appended = files->Append(file.Get()); FAILED(appended))
                        return appended;
                }
                rows.Close();
                return S_OK;
            });
        if (read == E_OUTOFMEMORY) return read;
        // After a failed read, what was read so far is handed out, without the bug's ID and
        // session, so that nothing can be added to or removed from a list known to be incomplete.
        if (SUCCEEDED(read)) {
            files->SetContext(context_.Get());
            files->SetBugID(data_.id);
        }
        return ReturnObject<IFileSet>(files, pVal);
    });
}

} // namespace velmora::engine
