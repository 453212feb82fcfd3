#pragma once
// Stand-in for the host SDK's header of the same path: the camera profile record and the
// macros the wrapper classes are declared with.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "bakkesmod/plugin/bakkesmodsdk.h"

// The game's camera profile: seven floats, nothing else, in this order (some host builds are
// read straight out of game memory). As in the SDK the members have no initialisers: a
// default-constructed record holds whatever was there, and `ProfileCameraSettings{}` is zero.
struct ProfileCameraSettings {
    float FOV;
    float Height;
    float Pitch;
    float Distance;
    float Stiffness;
    float SwivelSpeed;
    float TransitionSpeed;
};

static_assert(sizeof(ProfileCameraSettings) == 28, "ProfileCameraSettings must be seven packed floats");
static_assert(offsetof(ProfileCameraSettings, FOV) == 0 && offsetof(ProfileCameraSettings, TransitionSpeed) == 24,
              "ProfileCameraSettings field order");

// Every wrapper is a value made from a game object's address; its copies, assignment and
// destruction are the SDK library's, like the rest of its methods.
#define CONSTRUCTORS(name)          \
    name(std::uintptr_t mem);       \
    name(const name& other);        \
    name& operator=(name rhs);      \
    ~name();

#define PIMPL    \
    struct Impl; \
    std::unique_ptr<Impl> pimpl;
