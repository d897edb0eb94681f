// The link's receiver: whatever bytes arrive on the pinpad line (noise, cut
// frames, wrong lengths, many frames at once) are read through WaitMessage
// until the line is used up; every frame received is then served as a
// request, as the transaction loop does.
#include "FuzzEngine.h"
#include "FuzzSandbox.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PrepareEngineSandbox();
    Tags tags;
    FuzzEngine engine(&tags, "");
    const std::string bytes = InputBytes(data, size);
    // The line hands the bytes out in chunks of varying size, as a serial
    // line does.
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t chunk = 1 + static_cast<unsigned char>(bytes[at]) % 64;
        engine.Link().Incoming(bytes.substr(at, chunk));
        at += chunk;
    }
    for (int frames = 0; frames < 64; ++frames) {
        const std::string payload = engine.WaitMessage(3, 1);
        if (payload.empty()) break;
        if (payload.size() > 3) engine.Serve(payload);
    }
    return 0;
}
