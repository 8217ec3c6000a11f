// FreeBSD's signal numbers in place of this system's, for building the key
// wait as it is built there: NSIG 32, the real-time signals from 65 to 126.
#include <csignal>
#undef NSIG
#define NSIG 32
#undef SIGRTMIN
#define SIGRTMIN 65
#undef SIGRTMAX
#define SIGRTMAX 126
