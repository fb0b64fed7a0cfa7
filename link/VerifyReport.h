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

}  // namespace tarn
