#pragma once
// A replacement file must carry what the old one had beyond its bytes and
// mode: ACL entries (kept as `system.posix_acl_access`) and extended
// attributes. Where one cannot be carried over, the file is written in place.

namespace vela::files {

/// Gives the open file `to` exactly the extended attributes of the open file
/// `from`: adds or updates theirs, removes any `to` has of its own (an ACL
/// inherited from the folder). False when one of them could not be set.
bool copyExtendedAttributes(int from, int to);

} // namespace vela::files
