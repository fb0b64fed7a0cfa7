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

// Result codes carried by WM_TRANSFER_RESULT (the values are the message's).
enum class TransferResult {
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
    // A question before a write or verify was answered 0 (the radio on another port, the
    // changes a write would make): nothing was sent.
    TransferCancelled = 8,
};

// Codes carried by WM_IMAGE_NOTIFY (the values are the message's).
enum class ImageNotifyCode {
    ImageRead = 2,         // posted: the image holds new radio data, reload the pages
    CheckBeforeWrite = 4,  // sent: run the band-limit check, answer 1 to go on, 0 to stop
    // Sent before a write or verify whose radio answered on another port than the one the
    // scan started with (TransferJob::ports()): answer 1 to go on with it, 0 to stop (the
    // image then keeps the port number it had).
    ConfirmOtherPort = 5,
    // Sent by a write that read the radio first, once it knows what would change
    // (TransferJob::writePlan()): answer 1 to write, 0 to send nothing. Not sent when nothing
    // would change.
    ConfirmChanges = 6,
};

// Whether the code is a question the worker waits on (sent), not a notice (posted).
inline bool IsImageQuestion(ImageNotifyCode code)
{
    return code == ImageNotifyCode::CheckBeforeWrite || code == ImageNotifyCode::ConfirmOtherPort
        || code == ImageNotifyCode::ConfirmChanges;
}

class TransferListener {
public:
    virtual ~TransferListener() = default;

    // WM_TRANSFER_PROGRESS: 1 to 100 while the transfer runs, 0 when it is over.
    virtual void transferProgress(int n) = 0;
    // WM_IMAGE_NOTIFY. Code 2 is a notice (the answer is ignored). The questions (codes 4, 5
    // and 6) block the worker until the answer is known: 1 to go on, 0 to stop.
    virtual int imageNotify(ImageNotifyCode code) = 0;
    // WM_TRANSFER_RESULT: one of TransferResult, once per transfer.
    virtual void transferResult(TransferResult code) = 0;
    // The scan is about to try port n (1-20); for a status line while it looks for the radio.
    virtual void scanningPort(int n) { (void)n; }
};

}  // namespace tarn
