// standin-call-probe PORT SECONDS: makes a call over the port with the stand-in's modem
// call, keeps it up for the seconds given and hangs up; prints the state before the hang-up and
// "error N" or the bytes received and sent, for the script that checks them against what the phone
// counted.
#include <cstdio>
#include <cstdlib>

#include "ModemCall.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: standin-call-probe PORT SECONDS\n");
        return 2;
    }
    uint32_t error = 0;
    auto call = tarvelin::standin::ModemCall::Dial(argv[1], "+CGDCONT=1,\"IP\",\"internet\"",
                                                   "*99#", error);
    if (!call) {
        std::printf("error %u\n", error);
        return 0;
    }
    Sleep(static_cast<DWORD>(std::atof(argv[2]) * 1000));
    const bool lost = call->Lost();
    call->HangUp();
    const uint32_t received = call->Received(), sent = call->Sent();
    std::printf("%s received %u sent %u\n", lost ? "lost" : "connected", received, sent);
    return 0;
}
