// FreeBSD's signal numbers in place of this system's, for building the key
// wait as it is built there: NSIG 32, the real-time signals from 65 to 126,
// SIGEMT 7 and SIGBUS 10.
#include <csignal>
#undef NSIG
#define NSIG 32
#undef SIGRTMIN
#define SIGRTMIN 65
#undef SIGRTMAX
#define SIGRTMAX 126
#undef SIGBUS
#define SIGBUS 10
#define SIGEMT 7
