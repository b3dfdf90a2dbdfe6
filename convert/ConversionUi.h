#pragma once
#include <initializer_list>
#include <string>

#include "rawdata/RecordKind.h"

// Icon of a message shown to a person.
enum class MessageIcon {
    Stop,         // failures
    Information,  // success and cancel
    Question,     // yes/no question
    Exclamation,  // a text over its length limit
};

// An approximate station position entered by a person.
struct ApproximatePosition {
    double latitude = 0;   // rad
    double longitude = 0;  // rad
    double height = 0;     // m above the ellipsoid
};

// Who settled a question.
enum class Answer {
    Person,     // a person answered
    Default,    // nobody could be asked (a silent run, or no window and no terminal):
                // the preselected answer was taken
    Cancelled,  // the person cancelled
};

// What the conversion driver needs from a person: a progress window with a
// cancel button, message boxes by string id and two questions.
class ConversionUi {
public:
    virtual ~ConversionUi() = default;
    // Shows the text of the current step.
    virtual void SetStatus(const std::string& text) = 0;
    // Moves the progress to percent (0..100).
    virtual void SetPosition(unsigned percent) = 0;
    // True once after the person asked to cancel; the request is then cleared.
    virtual bool CheckCancel() = 0;
    // Shows string id formatted with args (see FormatString) with an icon; true
    // for OK or Yes, false for No.
    virtual bool ShowMessage(int id, MessageIcon icon, std::initializer_list<std::string> args = {}) = 0;
    // Asks which kind of raw data to convert: kind holds the preselected answer
    // (kRecordReceiverDated) and receives the answer, kRecordSatelliteDated or
    // kRecordReceiverDated. With Answer::Default kind keeps the preselected answer.
    virtual Answer AskRawKind(RecordKind& kind) = 0;
    // Asks for an approximate position; position holds the initial value
    // (latitude 0, longitude 0, height 0) and receives the answer. With
    // Answer::Default position keeps the initial value.
    virtual Answer AskPosition(ApproximatePosition& position) = 0;
};

// The number of a raw-data kind in the question's list: 0 satellite-dated, 1 receiver-dated.
inline int RawKindIndex(RecordKind kind) { return kind == kRecordSatelliteDated ? 0 : 1; }
// The raw-data kind of number index in the question's list.
inline RecordKind RawKindOfIndex(int index) { return index == 0 ? kRecordSatelliteDated : kRecordReceiverDated; }
