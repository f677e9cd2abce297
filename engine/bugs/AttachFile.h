#pragma once
// One file attached to a bug, stored zipped in tAttachment: its identity and file information,
// and the two ways back out of the database (a copy at a chosen path, or opening it with the
// program the desktop registers for its type).
#include <string>
#include <string_view>

#include <velmora/ComSupport.h>

#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

class TempDirectory;

struct AttachFileData {
    LONG id = 0;          // AttachmentID; 0 until stored
    std::string fileName; // the name without folders, as stored in FileName
    std::string fullName; // the path on disk when the file was added
    LONG fileSize = 0;    // bytes
    DATE fileDate = 0.0;  // last modification, local time
};

class CAttachFile : public CoClass<IFileStub, classes::File> {
  public:
    // Engine side: the fields as held.
    AttachFileData& Data() { return data_; }
    const AttachFileData& Data() const { return data_; }
    void SetID(LONG id) { data_.id = id; }
    // Sets FullName and, from it, FileName.
    void SetFullName(std::string fullName);

    HRESULT STDMETHODCALLTYPE GetFile(BSTR bstrFileName) override;
    HRESULT STDMETHODCALLTYPE OpenFile() override;
    HRESULT STDMETHODCALLTYPE get_FileName(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_FileName(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_FullName(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_FullName(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_ID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_FileSize(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_FileSize(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_FileDate(DATE* pVal) override;
    HRESULT STDMETHODCALLTYPE put_FileDate(DATE newVal) override;

    // The program OpenFile starts with the extracted file's path ("xdg-open"); tests put a
    // recording script here. An empty text restores the default.
    static void SetOpenProgramForTesting(const std::string& program);

  private:
    // Writes the stored archive of this file into a private folder and extracts it into
    // `folder`; the archive is named after `archiveName` without extension. When storedName is
    // given it receives the row's FileName (an empty one fails the restore).
    bool GenFile(const TempDirectory& folder, const std::string& archiveName,
                 std::string* storedName);

    AttachFileData data_;
};

// The part of a path after its last '/' or '\' (the whole path when it has neither).
std::string FileNamePart(std::string_view path);
// A file name without its extension (the part before the last '.').
std::string FileNameStem(std::string_view name);

} // namespace velmora::engine
