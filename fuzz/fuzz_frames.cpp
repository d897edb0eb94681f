// The link's receiver: whatever bytes arrive on the pinpad line (noise, cut
// frames, wrong lengths, many frames in a row) are read through WaitMessage
// until the line is used up; every frame received is then served as a
// request, as the transaction loop does.
#include "FuzzEngine.h"
#include "FuzzSandbox.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PrepareEngineSandbox();
    Tags tags;
    FuzzEngine engine(&tags, "");
    // The bytes are all on the line at once: a frame whose rest is still on
    // the way is waited for up to the frame time-out, which fuzzing cannot
    // afford; frames cut by the end of the input are given up at once, as
    // the line hangs up.
    engine.Link().Incoming(InputBytes(data, size));
    for (int frames = 0; frames < 64; ++frames) {
        const std::string payload = engine.Session().WaitMessage(3, 1);
        if (payload.empty()) break;
        if (payload.size() > 3) engine.Serve(payload);
    }
    return 0;
}
