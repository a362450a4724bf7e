#pragma once

// Qt wants XDG_RUNTIME_DIR and warns on every start without it (a session
// started by su, cron or a bare X server). Without one, the private folder
// Qt would fall back to is made (0700, ours) and named, so it need not warn.
namespace runtimedir {
void ensure();
}
