// The default entries of the window, accepted as panel 1's and panel 2's
// "Aceita" accept them, for tests that need a Worksheet after a full pass.
#pragma once

#include <array>
#include <string>
#include <utility>

#include "core/display.h"
#include "core/limiter.h"

namespace testsupport {

using core::Entry;

inline const std::array<std::pair<Entry, const char*>, 6> kSpeakerDefaults{{
    {Entry::LabeledEdit1, "Tamsorel"},
    {Entry::LabeledEdit2, "TQ 2005"},
    {Entry::LabeledEdit3, "8.00"},
    {Entry::LabeledEdit4, "125"},
    {Entry::LabeledEdit5, "1250"},
    {Entry::LabeledEdit6, "2000"},
}};

inline const std::array<std::pair<Entry, const char*>, 6> kAmplifierDefaults{{
    {Entry::LabeledEdit7, "Morvask"},
    {Entry::LabeledEdit8, "RZ 2005"},
    {Entry::LabeledEdit9, "0.775"},
    {Entry::LabeledEdit10, "8"},
    {Entry::LabeledEdit11, "1000"},
    {Entry::LabeledEdit12, "6"},
}};

template <typename Entries>
void acceptAll(core::Worksheet& ws, const Entries& entries, const numtext::NumberFormat& nf = {})
{
    for (const auto& [entry, text] : entries)
        core::acceptEntry(ws, entry, text, nf);
}

// Both panels accepted with the default entries, without the limiter step.
inline core::Worksheet acceptedDefaults()
{
    core::Worksheet ws;
    acceptAll(ws, kSpeakerDefaults);
    core::DeriveSpeakerValues(ws);
    acceptAll(ws, kAmplifierDefaults);
    core::DeriveAmplifierValues(ws);
    return ws;
}

}  // namespace testsupport
