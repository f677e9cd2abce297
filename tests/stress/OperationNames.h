#pragma once
// The names journals give the operations, shared by the programs that write journals and the
// checks that read them.
namespace velmora::stress::op {

inline constexpr const char* kAddBug = "addbug";
inline constexpr const char* kUpdateBug = "updbug";
inline constexpr const char* kDeleteBug = "delbug";
inline constexpr const char* kAddFile = "addfile";
inline constexpr const char* kRemoveFile = "delfile";
inline constexpr const char* kAddProduct = "addprod";
inline constexpr const char* kUpdateProduct = "updprod";
inline constexpr const char* kDeleteProduct = "delprod";
inline constexpr const char* kAddClass = "addclass";
inline constexpr const char* kUpdateClass = "updclass";
inline constexpr const char* kRename = "rename";
inline constexpr const char* kSynchronize = "sync";

} // namespace velmora::stress::op
