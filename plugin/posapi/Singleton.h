#pragma once

// Process-wide instance of a host service. The host (or the first plug-in that
// needs the service) creates the object and stores it here; it then lives
// until the end of the process.
template <typename T>
class Singleton {
public:
    static T* instance() { return s_instance; }
    static void setInstance(T* instance) { s_instance = instance; }

private:
    static T* s_instance;
};
