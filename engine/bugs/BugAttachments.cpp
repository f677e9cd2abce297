// A bug's attachment list: built afresh from tAttachment on every request.
#include <new>
#include <string>

#include "engine/bugs/AttachFile.h"
#include "engine/bugs/Bug.h"
#include "engine/bugs/FileSet.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "engine/mapping/FieldConversion.h"

namespace velmora::engine {

HRESULT CBug::get_AttachedFiles(IFileSet** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    try {
        auto files = CreateObject<CFileSet>();
        try {
            db::Recordset rows;
            rows.Open("SELECT AttachmentID, FileName, FileSize, FileDate FROM tAttachment "
                      "WHERE BugID=" +
                          std::to_string(data_.id),
                      db::ProcessConnectionString(), db::CursorType::ForwardOnly,
                      db::LockType::ReadOnly);
            for (; !rows.IsEOF(); rows.MoveNext()) {
                auto file = CreateObject<CAttachFile>();
                AttachFileData& data = file->Data();
                data.id = VariantToLong(rows.GetValue(0));
                data.fileName = VariantToString(rows.GetValue(1));
                data.fileSize = VariantToLong(rows.GetValue(2));
                data.fileDate = VariantToDate(rows.GetValue(3));
                files->Append(file.Get());
            }
            rows.Close();
        } catch (const db::DbError& error) {
            // What was read so far is handed out, without the bug's ID and session, so that
            // nothing can be added to or removed from a list known to be incomplete.
            FailWithError(Info(), "Get bug's attachment failed", 2, "CBug::get_AttachedFiles",
                          error);
            return ReturnObject<IFileSet>(files, pVal);
        }
        files->SetContext(context_.Get());
        files->SetBugID(data_.id);
        return ReturnObject<IFileSet>(files, pVal);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // namespace velmora::engine
