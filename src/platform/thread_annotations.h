// Thread-safety annotations: clang's capability attributes behind macros, so
// that clang with -Wthread-safety checks at compile time that guarded state
// is only touched with its lock held. Other compilers see nothing.
//
// Purely declarative: no code, no state; usable from any thread.
#pragma once

#if defined(__clang__)
#define TOLVI_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define TOLVI_THREAD_ANNOTATION(x)
#endif

// A type that is a lock (a mutex wrapper).
#define CAPABILITY(x) TOLVI_THREAD_ANNOTATION(capability(x))
// An RAII type that holds a lock for its lifetime.
#define SCOPED_CAPABILITY TOLVI_THREAD_ANNOTATION(scoped_lockable)
// A member that may only be read or written with the lock held.
#define GUARDED_BY(x) TOLVI_THREAD_ANNOTATION(guarded_by(x))
// A function the caller must enter with the lock held.
#define REQUIRES(...) TOLVI_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
// A function that takes the lock itself, so must not be entered with it.
#define EXCLUDES(...) TOLVI_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
// A function that acquires or releases the lock.
#define ACQUIRE(...) TOLVI_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) TOLVI_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define TRY_ACQUIRE(...) TOLVI_THREAD_ANNOTATION(try_acquire_capability(__VA_ARGS__))
// A function the analysis cannot follow (it is checked by other means).
#define NO_THREAD_SAFETY_ANALYSIS TOLVI_THREAD_ANNOTATION(no_thread_safety_analysis)
