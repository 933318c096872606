// The platform interfaces as the simulated machine implements them, one class per family (each
// declared with the part of the machine it works on), gathered for SimMachine.
#pragma once

#include "platform/sim/SimCore.h"
#include "platform/sim/SimSecurity.h"

namespace zenthar::sim::detail {

struct Backends {
    explicit Backends(Core& core)
        : spooler(core), registry(core), services(core), processes(core), kernel(core), files(core), io(core),
          system(core), modules(core), setup(core), clock(core), debug(core), environment(core), security(core)
    {}
    SimSpooler spooler;
    SimRegistry registry;
    SimServices services;
    SimProcesses processes;
    SimKernel kernel;
    SimFiles files;
    SimDeviceIo io;
    SimSystemInformation system;
    SimModules modules;
    SimDeviceSetup setup;
    SimClock clock;
    SimDebug debug;
    SimEnvironment environment;
    SimSecurity security;
};

// Results.
template <class T>
Call<T> Ok(T value)
{
    return {value, 0};
}
template <class T>
Call<T> Failed(T value, Dword error)
{
    return {value, error};
}
inline Call<Long> Status(Dword status)
{
    return {static_cast<Long>(status), status};
}

}  // namespace zenthar::sim::detail
