#pragma once
// The traffic statistics of one active dial-up connection. StatCheck, called on every tick
// of the main window's timer, reads the connection's counters and turns them into one
// bytes-per-second sample for every whole second of connection time, kept in a window of
// BufferSize samples that the traffic graph draws. Position 1 of the window (index 0 here)
// is the newest second; positions 1 and 2 hold raw rates, from position 3 on every sample is
// smoothed, and position 3 is the current speed. The object also keeps the session's totals
// and peak speeds and formats them as display text.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "draw/modAppDraw.h"
#include "platform/Canvas.h"
#include "platform/RasApi.h"

namespace tarvelin {

// One second of the window: bytes per second received and transmitted.
using StatSample = TrafficSample;

// The values pGetStatValue formats.
enum StatValue : int32_t {
    svDuration = 1,
    svTotalReceived = 2,
    svTotalTransmitted = 3,
    svTotalTraffic = 4,
    svCurrentReceive = 5,
    svCurrentTransmit = 6,
    svMaxReceive = 7,
    svMaxTransmit = 8,
};

class PCStat {
  public:
    static constexpr int32_t kDefaultBufferSize = 500;
    static constexpr int32_t kMinBufferSize = 3;
    // Larger windows are refused: a second-by-second window of 12 days is already far more
    // than any graph shows, and a wild value must not allocate gigabytes.
    static constexpr int32_t kMaxBufferSize = 1 << 20;

    PCStat();

    int32_t BufferSize() const { return static_cast<int32_t>(samples_.size()); }
    // Ignored below 3, above kMaxBufferSize or at the current size. Otherwise the window
    // keeps its newest samples at their positions, dropping the oldest or adding zero pairs.
    void BufferSize(int32_t size);
    platform::RasHandle hRasConn() const { return handle_; }
    const std::string& EntryName() const { return entryName_; }
    const std::string& DeviceName() const { return deviceName_; }
    // A free flag for the owner; the object never reads it.
    bool HangUpFlag() const { return hangUpFlag_; }
    void HangUpFlag(bool value) { hangUpFlag_ = value; }

    // Stores the three values and nothing else.
    void Init(platform::RasHandle lhRASConn, const std::string& sEntryName,
              const std::string& sDeviceName);
    // Reads the connection's statistics and samples the seconds that passed since the last
    // reading. A failed reading changes nothing.
    void StatCheck();
    // A value as display text: duration "H:MM:SS"; amounts and speeds in bits (or bytes when
    // bStatInByte), "КБит"/"КБайт" with one decimal above 1024, "/сек" appended when asked.
    std::string pGetStatValue(int32_t enStatValue, bool bStatInByte, bool bMeasWithSeconds) const;
    // The bare graph in the rectangle, without a caption (one band of the desktop widget).
    void DrawGraphicWindow(platform::ICanvas& canvas, const platform::Font& font, bool bStatInByte,
                           bool bBGClear, bool bGridHor, int32_t lLeft, int32_t lTop,
                           int32_t lRight, int32_t lBottom) const;
    // The graph over the whole background with the entry name as its caption, then the
    // figures panel: the panel picture blended over its place on the background (210 of
    // 255) and the session's figures printed on it. The caller has cleared the background.
    void DrawGraphic(platform::ICanvas& background, const platform::IImage* panel,
                     const platform::Rect& panelArea, const platform::Font& font, bool bStatInByte,
                     bool bBGClear, bool bGridHor) const;

    // What the graph draws: the window, newest first, and the highest smoothed speeds in it.
    std::span<const StatSample> Samples() const { return samples_; }
    int32_t WindowMaxRx() const { return winRx_.value; }
    int32_t WindowMaxTx() const { return winTx_.value; }
    int32_t CurrentRx() const { return curRx_; }
    int32_t CurrentTx() const { return curTx_; }
    int32_t MaxRx() const { return maxRx_; }
    int32_t MaxTx() const { return maxTx_; }
    uint64_t TotalRx() const { return totalRx_; }
    uint64_t TotalTx() const { return totalTx_; }
    uint64_t Seconds() const { return lastSecond_; }  // connection time at the last sample

  private:
    struct Reading {
        uint32_t received = 0, sent = 0, durationMs = 0;
    };
    // A maximum of the window with the number of its samples holding it.
    struct WindowMax {
        int32_t value = 0, count = 0;
        void Take(int32_t sample);
    };

    void Accept(const Reading& reading);
    void Follow(const Reading& reading);
    void pAddStatValue(int32_t rx, int32_t tx);
    void Smooth();
    void Rescan();

    platform::RasHandle handle_ = 0;
    std::string entryName_, deviceName_;
    bool hangUpFlag_ = false;

    bool started_ = false;  // a reading has been accepted
    Reading raw_;           // the counters as last read
    uint64_t elapsedMs_ = 0;
    uint64_t lastSecond_ = 0;
    uint64_t totalRx_ = 0, totalTx_ = 0;      // counters followed across wrap-around
    uint64_t sampledRx_ = 0, sampledTx_ = 0;  // the totals at the last sample
    int32_t curRx_ = 0, curTx_ = 0, maxRx_ = 0, maxTx_ = 0;
    WindowMax winRx_, winTx_;
    std::vector<StatSample> samples_;
};

}  // namespace tarvelin
