#pragma once
// The attachments of one bug: an in-memory list of files, filled once by the bug that builds
// the set, and the operations that store a new attachment or remove one from tAttachment. Adding
// and removing check the session's EditAttachment right; the Delete members and Append change
// the list alone.
#include <cstdint>
#include <string>
#include <vector>

#include <velmora/ComSupport.h>

#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

class CAttachFile;

class CFileSet : public CoClass<IFileSetStub, classes::FileSet> {
  public:
    // Engine side: what the bug gives the set it builds.
    void SetBugID(LONG bugID) { bugID_ = bugID; }
    LONG BugID() const { return bugID_; }
    void SetContext(IExeContext* context) { context_ = com::ComPtr<IExeContext>(context); }
    const com::ComPtr<IExeContext>& Context() const { return context_; }
    size_t Size() const { return files_.size(); }

    HRESULT STDMETHODCALLTYPE get_Count(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IFile** pVal) override;
    HRESULT STDMETHODCALLTYPE get_BugID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_ExeContext(IExeContext** pVal) override;
    HRESULT STDMETHODCALLTYPE Add(BSTR bstrFileName, IFile** ppFile) override;
    HRESULT STDMETHODCALLTYPE RemoveByID(LONG ID) override;
    HRESULT STDMETHODCALLTYPE RemoveByIndex(LONG index) override;
    HRESULT STDMETHODCALLTYPE DeleteByID(LONG ID) override;
    HRESULT STDMETHODCALLTYPE DeleteByIndex(LONG index) override;
    HRESULT STDMETHODCALLTYPE Append(IFile* pFile) override;

    // The largest archive the database stores in one value (SQLite's default maximum length).
    static constexpr int64_t kLargestStoredArchive = 1'000'000'000;
    // Tests lower the limit to reach the refusal without gigabytes of data; 0 restores it.
    static void SetLargestStoredArchiveForTesting(int64_t bytes);

  private:
    // Packs the file into a private temporary archive and stores it as a new tAttachment row.
    bool SaveFileData(const CAttachFile& file);
    // Deletes the row of attachment `id`.
    bool RealDeleteFile(LONG id);
    // The list position of the file with that ID, or -1.
    LONG IndexOfID(LONG id) const;
    bool InRange(LONG index) const {
        return index >= 0 && static_cast<size_t>(index) < files_.size();
    }

    LONG bugID_ = 0;
    com::ComPtr<IExeContext> context_;
    std::vector<com::ComPtr<IFile>> files_;
};

} // namespace velmora::engine
