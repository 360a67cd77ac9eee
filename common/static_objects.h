// The building of the static objects, for the programs that start without the C runtime's
// start-up code (common/program_entry.cpp, rmzelk/rmzelk.cpp).
#ifndef ZELK_COMMON_STATIC_OBJECTS_H
#define ZELK_COMMON_STATIC_OBJECTS_H

// The static constructors, laid out by the linker between a first entry -1 and a last
// entry 0 (cmake/programs.ld.in).
extern "C" void (*__CTOR_LIST__[])();

// Runs them from the last to the first, as the toolchain's start-up code does. Among them
// are the look-ups of the programs' function tables (TableLookUp, common/system_api.h), so
// a program calls this first thing, right after it has narrowed the DLL search.
inline void RunStaticConstructors() {
    int count = 0;
    while (__CTOR_LIST__[count + 1] != nullptr) ++count;
    for (int i = count; i >= 1; --i) __CTOR_LIST__[i]();
}

#endif
