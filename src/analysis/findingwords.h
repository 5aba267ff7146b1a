#pragma once

// What each judged figure of a range means to someone who does not read the figures, keyed as the
// history keeps the verdicts; in the order the analysis table lists them.
namespace FindingWords {

struct Finding
{
    const char *key;    // the verdict's key in a kept analysis
    const char *words;  // UTF-8, as the sentence after the range's name
    bool stop;          // a matter of the servo stops, which a proposal can change
};

constexpr Finding Findings[] = {
    {"switching", "lambda sonda přepíná málo často", false},
    {"transitions", "lambda sonda přechází mezi chudou a bohatou směsí pomalu", false},
    {"high", "lambda sonda nedosahuje napětí bohaté směsi", false},
    {"low", "lambda sonda neklesá na napětí chudé směsi", false},
    {"atMax", "servo se dlouho drží na dorazu MAX", true},
    {"atMin", "servo se dlouho drží na dorazu MIN", true},
};
constexpr int FindingCount = int(sizeof(Findings) / sizeof(Findings[0]));

}  // namespace FindingWords
