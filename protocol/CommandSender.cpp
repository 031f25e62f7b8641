#include "protocol/CommandSender.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <thread>

#include "protocol/Datagram.h"
#include "protocol/Endpoint.h"
#include "state/Clock.h"
#include "state/DesktopOps.h"
#include "state/LinkState.h"

namespace linkpanel {

namespace {

EncodedRequest Compose(int selector) {
    if (selector == CMD_APPLY_SETTINGS) {
        // The result is not examined: the datagram carries the fields as they are after it.
        PullSettingsDialog();
    }
    // routerAddress and the settings are read once, into this call's own buffer.
    return Link().Update(
        [&](LinkState& s) { return EncodeRequest(selector, s.routerAddress, s.settings); });
}

void SendCopies(const EncodedRequest& request) {
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(ROUTER_PORT);
    destination.sin_addr.s_addr = InetAddr(ROUTER_GROUP);

    for (int copy = 0; copy < request.copies; ++copy) {
        // Each copy through the endpoint current now: after a replacement, the new one.
        const EndpointRef endpoint = CurrentEndpoint();
        if (endpoint.socket) {
            ::sendto(endpoint.socket->fd(), request.bytes.data(), request.length, MSG_NOSIGNAL,
                     reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
        }
        Sleep(COPY_PAUSE);
    }
}

}  // namespace

void SendCommand(int selector) {
    SendCopies(Compose(selector));
}

void SendCommandInBackground(int selector) {
    // Composed here, so the datagram holds the fields as they are at the call: a caller may
    // clear them right after (the password dialog clears the router's address).
    std::thread([request = Compose(selector)] { SendCopies(request); }).detach();
}

}  // namespace linkpanel
