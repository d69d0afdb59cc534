#pragma once
// Paired Bluetooth phones get their virtual COM ports only while their Serial Port or
// Dial-up Networking service is switched on.
namespace tarvelin {

// Switches both services on for every paired or remembered device of every local radio.
// Quiet: no radio, no Bluetooth on the system or a refused service leave it at that.
void EnableBluetoothServices();

}  // namespace tarvelin
