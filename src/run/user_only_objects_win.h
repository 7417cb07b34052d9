#pragma once
// Security for named kernel objects that only this user's processes may
// share: objects are made with access for the user alone and this user as
// owner, and an object found already made under the name is trusted only
// when this user owns it (another user could have made it first, to be
// taken for ours). Objects this user made without a descriptor of their
// own carry the token's default owner, which counts as this user.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace tarn {

class UserOnlySecurity {
 public:
  // Reads the process token's user; without it valid() is false.
  UserOnlySecurity();
  UserOnlySecurity(const UserOnlySecurity&) = delete;
  UserOnlySecurity& operator=(const UserOnlySecurity&) = delete;

  bool valid() const { return valid_; }
  // For the Create* call of a named object; valid() must be true.
  SECURITY_ATTRIBUTES* attributes() { return &attributes_; }
  // Whether this user, or the token's default owner, owns the object (the
  // handle needs READ_CONTROL).
  bool ownedByUser(HANDLE object) const;

 private:
  bool valid_ = false;
  std::vector<uint8_t> user_;  // the user's SID
  std::vector<uint8_t> defaultOwner_;
  std::vector<uint8_t> acl_;
  SECURITY_DESCRIPTOR descriptor_{};
  SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace tarn
