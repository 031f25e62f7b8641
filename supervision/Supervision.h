// Finding the router and watching that it stays there.
#pragma once

#include <functional>
#include <string>

namespace linkpanel {

// The thread body: one local address per cycle until the receiver has accepted a
// discovery reply. Returns 0 when routerFound is true.
int DiscoveryWorker();

// Starts a discovery worker on a thread of its own, or, when one is still running,
// has it start over from a fresh enumeration; never two cycling side by side.
void StartDiscovery();

// The poll, called on every timer event of the main window, whichever timer fired:
// when routerFound is true it clears statusReceived and starts a thread that sends the
// status request and then runs the status check worker. It never blocks its caller.
void OnTimerEvent();

// One per poll: 3000 ms later, judges whether any status reply came.
int StatusCheckWorker();

// What supervision needs of the protocol and of threads, replaceable so that tests drive
// the state machines without a network. The default calls the real endpoint and sender.
class SupervisionPlatform {
public:
    virtual ~SupervisionPlatform() = default;
    virtual void EnumerateLocalAddresses();
    virtual void CloseEndpoint();
    virtual void OpenEndpoint(const std::string& addressText);
    virtual void SendCommand(int selector);
    // Runs work on a new thread of normal priority that nobody joins.
    virtual void StartThread(std::function<void()> work);
};

// Installs a platform (nullptr restores the real one). Call while no worker runs.
void SetSupervisionPlatform(SupervisionPlatform* platform);

}  // namespace linkpanel
