#pragma once
// Stand-in for the host SDK's header of the same path: a game array, read through the SDK
// library. Its members are instantiated there for the element types the SDK lists.
#include "bakkesmod/plugin/bakkesmodsdk.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class PriWrapper;

template <typename T>
class BAKKESMOD_PLUGIN_IMPORT ArrayWrapper {
public:
    ArrayWrapper(std::uintptr_t mem);
    ArrayWrapper(const ArrayWrapper<T>& other);
    ArrayWrapper& operator=(ArrayWrapper<T> rhs);
    ~ArrayWrapper();

    int Count();
    T Get(int index);
    bool IsNull();

protected:
    PIMPL
};

extern template class BAKKESMOD_PLUGIN_IMPORT ArrayWrapper<PriWrapper>;
extern template class BAKKESMOD_PLUGIN_IMPORT ArrayWrapper<wchar_t>;
