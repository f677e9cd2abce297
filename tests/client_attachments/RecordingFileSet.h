#pragma once
// A file set that keeps, in order, every change asked of it, can refuse chosen ones with a
// message as the engine leaves it, and can hold an Add until the test lets it go: the order of
// the changes and the worker thread's part become visible without timing.
#include <QMutex>
#include <QSemaphore>
#include <QSet>
#include <QStringList>
#include <QThread>

#include <atomic>

#include "client/adapter/EngineCall.h"

namespace tarnwick::test {

class RecordingFileSet : public IFileSet {
  public:
    // Changes in order: "RemoveByID 7", "Add /tmp/a.txt", "Append 1001".
    QStringList calls() const;
    // The thread that ran the last Add.
    QThread* lastAddThread() const { return lastAddThread_; }

    // RemoveByID of these IDs and Add of these paths fail with the message.
    QSet<LONG> refusedIds;
    QStringList refusedPaths;
    QString refusal = QStringLiteral("Add file to database failed!");
    // Add of this path waits until release() is called.
    QString heldPath;
    void release() { held_.release(); }
    // Add has started on the held path.
    bool holding() const { return holding_; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch: not used by the client.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    // IFileSet
    HRESULT STDMETHODCALLTYPE get_Count(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Item(LONG, IFile**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_BugID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_ExeContext(IExeContext**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Add(BSTR bstrFileName, IFile** ppFile) override;
    HRESULT STDMETHODCALLTYPE RemoveByID(LONG ID) override;
    HRESULT STDMETHODCALLTYPE RemoveByIndex(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteByID(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteByIndex(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Append(IFile* pFile) override;

  private:
    void record(const QString& call);
    HRESULT refuse(const QString& text);

    std::atomic<ULONG> references_{1};
    mutable QMutex mutex_;
    QStringList calls_;
    QSemaphore held_;
    std::atomic<bool> holding_{false};
    std::atomic<QThread*> lastAddThread_{nullptr};
    std::atomic<LONG> nextId_{1001};
};

} // namespace tarnwick::test
