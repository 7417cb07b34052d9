#include "run/user_only_objects_win.h"

#include <aclapi.h>

#include "base/scoped_handle_win.h"

namespace tarn {
namespace {

// The token's user (TokenUser) or the owner it gives new objects
// (TokenOwner: for an elevated administrator the Administrators group).
std::vector<uint8_t> tokenSid(TOKEN_INFORMATION_CLASS which) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  ScopedKernelHandle owned(token);
  DWORD size = 0;
  GetTokenInformation(token, which, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<uint8_t> buffer(size);
  if (!GetTokenInformation(token, which, buffer.data(), size, &size)) return {};
  PSID sid = which == TokenOwner ? reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner
                                 : reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
  if (!IsValidSid(sid)) return {};
  const uint8_t* bytes = static_cast<const uint8_t*>(sid);
  return std::vector<uint8_t>(bytes, bytes + GetLengthSid(sid));
}

}  // namespace

UserOnlySecurity::UserOnlySecurity() : user_(tokenSid(TokenUser)), defaultOwner_(tokenSid(TokenOwner)) {
  if (user_.empty() || defaultOwner_.empty()) return;
  PSID user = user_.data();
  acl_.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(user));
  ACL* acl = reinterpret_cast<ACL*>(acl_.data());
  if (!InitializeAcl(acl, static_cast<DWORD>(acl_.size()), ACL_REVISION)) return;
  if (!AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, user)) return;
  if (!InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION)) return;
  if (!SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE)) return;
  if (!SetSecurityDescriptorOwner(&descriptor_, user, FALSE)) return;
  attributes_.nLength = sizeof(attributes_);
  attributes_.lpSecurityDescriptor = &descriptor_;
  attributes_.bInheritHandle = FALSE;
  valid_ = true;
}

bool UserOnlySecurity::ownedByUser(HANDLE object) const {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                      &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const bool same = owner != nullptr && (EqualSid(owner, const_cast<uint8_t*>(user_.data())) ||
                                         EqualSid(owner, const_cast<uint8_t*>(defaultOwner_.data())));
  LocalFree(descriptor);
  return same;
}

}  // namespace tarn
