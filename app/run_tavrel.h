// The window program from its command line to its exit status.
#pragma once

namespace tavrel {

int RunTavrel(int argc, char** argv);

}  // namespace tavrel
