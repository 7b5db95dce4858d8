#pragma once
// The fault tests run as root; a few faults only show for an ordinary user.

#include <QtGlobal>

#include <sys/prctl.h>
#include <unistd.h>

namespace vela::test {

/// Runs as the unprivileged user while it lives. Root ignores permission bits,
/// so a read-only folder only refuses a write under another identity; the
/// file-system uid follows the effective uid.
class UnprivilegedUser {
public:
    static constexpr uid_t Nobody = 65534;
    UnprivilegedUser() { ok_ = ::setegid(Nobody) == 0 && ::seteuid(Nobody) == 0; }
    ~UnprivilegedUser() {
        if (::seteuid(0) != 0 || ::setegid(0) != 0) qFatal("cannot take back the root identity");
        // A changed identity makes the process undumpable; the sanitizers' leak check needs it dumpable.
        ::prctl(PR_SET_DUMPABLE, 1);
    }
    UnprivilegedUser(const UnprivilegedUser&) = delete;
    UnprivilegedUser& operator=(const UnprivilegedUser&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

} // namespace vela::test
