#pragma once
// A role: the unit permissions are granted to. The object holds the role's row of tRole; its
// product, users, right and available statuses are read from the database when asked.
#include <string>

#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"
#include "engine/mapping/Rows.h"

namespace velmora::engine {

class CRole : public CoClass<IRoleStub, classes::Role>, public MappedRow<RoleData> {
  public:
    // Engine side: the fields as stored, for the row mapping and the sets.
    void SetID(LONG id) { data_.id = id; }

    HRESULT STDMETHODCALLTYPE get_ID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Description(BSTR newVal) override;
    // The role's right read afresh from tRight; a role without a stored right gets a right with
    // ID 0 and no permissions.
    HRESULT STDMETHODCALLTYPE get_Right(IRight** pVal) override;

    // The users who hold the role, in a new set without a session.
    HRESULT STDMETHODCALLTYPE get_UserSet(IUserSet** pVal) override;
    // The role's product with its versions, or null when the role is bound to no product.
    HRESULT STDMETHODCALLTYPE get_Product(IProduct** pVal) override;
    // The statuses the role's holders may set; null for a role that is not stored yet.
    HRESULT STDMETHODCALLTYPE get_AvailableStatus(IBugStatus** pVal) override;
};

} // namespace velmora::engine
