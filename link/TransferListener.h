// What a transfer tells the main window while it runs: progress, the refresh and
// check-before-write requests, and the final result. The job calls these on the worker
// thread; the window's adapter turns them into queued signals (QueuedTransferListener),
// the command-line tool answers them directly.
#pragma once

namespace tarn {

// The message numbers the main window has always used for these notifications.
inline constexpr int WM_TRANSFER_RESULT = 0x476;
inline constexpr int WM_IMAGE_NOTIFY = 0x47B;
inline constexpr int WM_TRANSFER_PROGRESS = 0x48D;

// Result codes carried by WM_TRANSFER_RESULT.
enum TransferResult {
    NoRadio = 0,        // no port answered the entry sequence, or identification failed
    ReadFailed = 1,
    WriteFailed = 2,    // also a write stopped by the band-limit check
    ReadSucceeded = 3,
    WriteSucceeded = 4,
    // A Verify: the radio holds what a write of the image sends, it differs, or the
    // read-back failed.
    VerifyEqual = 5,
    VerifyDiffers = 6,
    VerifyReadFailed = 7,
};

// Codes carried by WM_IMAGE_NOTIFY.
enum ImageNotifyCode {
    ImageRead = 2,         // posted: the image holds new radio data, reload the pages
    CheckBeforeWrite = 4,  // sent: run the band-limit check, answer 1 to go on, 0 to stop
};

class TransferListener {
public:
    virtual ~TransferListener() = default;

    // WM_TRANSFER_PROGRESS: 1 to 100 while the transfer runs, 0 when it is over.
    virtual void transferProgress(int n) = 0;
    // WM_IMAGE_NOTIFY. Code 2 is a notice (the answer is ignored). Code 4 blocks the
    // worker until the answer is known: 1 to write, 0 to stop the write.
    virtual int imageNotify(int code) = 0;
    // WM_TRANSFER_RESULT: one of TransferResult, once per transfer.
    virtual void transferResult(int code) = 0;
};

}  // namespace tarn
