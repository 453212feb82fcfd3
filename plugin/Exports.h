#pragma once
// The library's one plugin object, for the library's own entry points beside getPlugin.
class Vistorb;

// The object getPlugin created, or null before getPlugin and after deleteMe.
Vistorb* CurrentPlugin();
