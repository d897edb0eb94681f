#ifndef VELPAD_API_DARIR_H
#define VELPAD_API_DARIR_H

#include "api/velpad.h"

// The session as a C++ caller sees it after GetDARir: values go in and out as
// named tags, an operation runs by its code, Stop may come from another
// thread while a run is in progress.
class VELPAD_EXPORT DARir {
public:
    virtual ~DARir() = default;
    virtual const char* GetLastError() = 0;
    virtual int Clear() = 0;
    virtual int Set(const char* key, const char* value, int size, int type) = 0;
    virtual int Set(const char* key, long value, int type) = 0;
    virtual int Set(const char* key, double value, int size, int type) = 0;
    virtual int SetTags(const char* data, int size) = 0;
    virtual int Get(const char* key, char* buffer, int size, int type) = 0;
    virtual int Get(const char* key, long* value, int type) = 0;
    virtual int Get(const char* key, double* value, int size, int type) = 0;
    virtual int GetTag(const char* key, int size, char* buffer) = 0;
    virtual int Run(int operation) = 0;
    virtual int Run(const char* command, const char* argument, int size) = 0;
    virtual int Stop() = 0;
    virtual void SetCallbackFunc(void* callback, int type) = 0;
};

#endif
