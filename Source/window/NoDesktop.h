#pragma once

namespace kestrane {

// Call once in main, before the application is made. Started where no
// desktop can be reached (no DISPLAY, over ssh, or from a console), the
// toolkit would abort with its own messages about platform plugins and
// advice to reinstall, which does not help. Instead the program then prints
// one line -- that it needs a graphical desktop, and how to run it under a
// virtual one -- and exits with status 1. With a desktop nothing changes.
// `program` is how the program was started (argv[0]), for that advice.
void explainNoDesktop(const char *program);

} // namespace kestrane
