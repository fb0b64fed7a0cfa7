// The words of a read-back and of the backups, shared by the window's result message and
// tarn-cli: the verdict, the differences by meaning, and the backups that were not kept.
#pragma once

#include "link/TransferJob.h"
#include "radio/LanguageText.h"

#include <string>
#include <vector>

namespace tarn {

// "The radio holds the configuration.", "The radio differs ...:" or the read-back failure.
std::string VerifyVerdict(const VerifyOutcome& outcome, const LanguageText& text);
// One line per difference, "in the file" against "in the radio"; empty when equal.
std::vector<std::string> VerifyDifferences(const VerifyOutcome& outcome, const LanguageText& text);
// One line per backup that could not be kept: where, and the system's reason.
std::vector<std::string> BackupFailures(const std::vector<BackupResult>& backups, const LanguageText& text);

// What a write that read the radio first is about to change, for the question before it
// sends (ConfirmChanges): the heading, then one line per change, "Channel 5 Rx freq:
// 145.50000 -> 145.52500".
std::string WritePreviewHeading(const LanguageText& text);
std::vector<std::string> WritePreviewLines(const WritePlan& plan, const LanguageText& text);
// After it: "The radio already holds this; nothing was sent." or "16-byte blocks written:
// 2/265"; empty when the radio was not read first.
std::string WriteSummary(const WritePlan& plan, const LanguageText& text);
// Where the copy of what the radio held before the write is kept; empty when none is offered.
std::string RestoreText(const RestoreOffer& offer, const LanguageText& text);

// Everything the end of a transfer says, as one message: the result and where it went (or,
// for a write that found nothing to change, that nothing was sent), what a read-first write
// sent, the read-back's verdict and where the copy of the radio is kept; below it the
// differences the read-back found and the backups that were not kept.
struct TransferEndReport {
    std::vector<std::string> message;  // one line each
    std::vector<std::string> details;
};
TransferEndReport DescribeTransferEnd(TransferResult code, const TransferJob& job, const LanguageText& text);

}  // namespace tarn
