#pragma once
// A right: the yes/no permissions one role grants, a plain value holder with no reference to the
// session or the database. Every flag reads back 1 or 0; storing true in an editing flag also
// grants Read, since a right to change bugs is useless without the right to see them.
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"
#include "engine/mapping/Rows.h"

namespace velmora::engine {

// Whether storing true in the flag through the interface also sets Read.
bool GrantsRead(RightFlag flag);

class CRight : public CoClass<IRightStub, classes::Right>, public MappedRow<RightData> {
  public:
    // Engine side: the stored identifier and the flags as they are, without the Read rule.
    LONG ID() const { return data_.id; }
    void SetID(LONG id) { data_.id = id; }
    bool Flag(RightFlag flag) const { return data_.Flag(flag); }
    void SetFlag(RightFlag flag, bool value) { data_.SetFlag(flag, value); }

    HRESULT STDMETHODCALLTYPE get_ID(LONG* pVal) override;

#define VELMORA_RIGHT_ACCESSORS(name, grantsRead)                                                  \
    HRESULT STDMETHODCALLTYPE get_##name(LONG* pVal) override {                                    \
        return GetFlag(RightFlag::name, pVal);                                                     \
    }                                                                                              \
    HRESULT STDMETHODCALLTYPE put_##name(LONG newVal) override {                                   \
        return PutFlag(RightFlag::name, newVal);                                                   \
    }
    VELMORA_RIGHT_FLAGS(VELMORA_RIGHT_ACCESSORS)
#undef VELMORA_RIGHT_ACCESSORS

  private:
    HRESULT GetFlag(RightFlag flag, LONG* pVal) const;
    HRESULT PutFlag(RightFlag flag, LONG newVal);
};

} // namespace velmora::engine
