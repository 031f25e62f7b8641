// SendCommand: the one way the monitor speaks to the router.
#pragma once

namespace linkpanel {

// Builds the request for selector 1..6 in a buffer of its own and sends it to
// 234.2.3.4:7000 its fixed number of times, each copy through the endpoint current at
// that moment, sleeping 100 ms after every copy. Failures are ignored. Selector 5 first
// pulls the settings dialog's controls into its fields.
void SendCommand(int selector);

// SendCommand for a caller that must not wait out the pauses between the copies: the thread
// that runs the windows. The request is composed (and for selector 5 the dialog pulled)
// before it returns; the copies go out on a thread of their own that nobody joins.
void SendCommandInBackground(int selector);

}  // namespace linkpanel
