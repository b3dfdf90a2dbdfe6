#pragma once
#include "convert/ConversionRequest.h"
#include "convert/ConversionState.h"
#include "convert/ConversionUi.h"

// How a conversion ended.
enum class ConversionOutcome {
    Success,
    SourceUnreadable,         // 127
    ObservationNotCreated,    // 128
    NavigationNotCreated,     // 129
    InsufficientData,         // 130
    NoEpochWritten,           // 135
    Cancelled,                // 122 (progress window's Cancel)
    QuestionCancelled,        // raw-data kind or position question cancelled; no message
};

struct ConversionResult {
    bool success = false;
    ConversionOutcome outcome = ConversionOutcome::Success;
    int messageId = 0;        // string id of the message that reports the outcome, 0 when none
    int epochsWritten = 0;    // observation records written
    int epochsPositioned = 0; // accepted epochs with a fix of their own
    int ephemeridesWritten = 0;
};

// Converts the raw data file of a request into a RINEX observation and a RINEX
// navigation file in three passes (read, observation, navigation), reporting
// progress, messages and questions through ui. A silent request asks no question
// (the preselected answers are taken) and shows no success message; failures are
// always handed to ui, which a silent run gets as a HeadlessUi.
ConversionResult RunConversion(const ConversionRequest& request, ConversionState& state, ConversionUi& ui);
