#pragma once
// A BoxSession connected to a ScriptedBox, in a fresh working directory.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "box/WireFormat.h"
#include "tests/support/ScriptedBox.h"
#include "tests/support/SinkRecorder.h"
#include "tests/support/TempDir.h"

class SessionTest : public ::testing::Test {
protected:
    SessionTest() : session(&socket), sinks(session) {}

    // Connects once the script is written.
    void Connect() {
        box.Start();
        ASSERT_TRUE(socket.Connect("127.0.0.1", box.Port(), 5000));
    }

    // Closes the PC's side and returns what the box received.
    ScriptedBox::Bytes Received() {
        socket.Close();
        return box.FirstReceived();
    }

    // Opens the session as logged in, so that Logout and state checks mean something.
    void ScriptLogin() { box.Read(12).Write(wire::EncodeReply({wire::kToolVersion, 0, 1})); }

    static ScriptedBox::Bytes Header(uint8_t command, uint16_t length = 0) {
        return B(wire::EncodeRequestHeader({command, length}));
    }
    static ScriptedBox::Bytes Name(const char* name) { return B(wire::EncodeNameField(name)); }
    static ScriptedBox::Bytes Reply(uint16_t value, uint8_t followUp, uint8_t status) {
        return B(wire::EncodeReply({value, followUp, status}));
    }
    static ScriptedBox::Bytes Refusal(const std::string& text) {
        return B(wire::EncodeRefusalText(text));
    }
    static constexpr int32_t kLengthOfData = INT32_MIN;
    static ScriptedBox::Bytes Record(int32_t percent, int32_t flag, const std::string& data,
                                     int32_t length = kLengthOfData) {
        wire::DataRecord r;
        r.percent = percent;
        r.flag = flag;
        r.length = length == kLengthOfData ? static_cast<int32_t>(data.size()) : length;
        std::copy(data.begin(), data.begin() + std::min(data.size(), r.data.size()),
                  r.data.begin());
        return B(wire::EncodeDataRecord(r));
    }
    static ScriptedBox::Bytes Ack() { return B(wire::EncodeAcknowledgement()); }

    TempDir dir;
    ScriptedBox box;
    BoxSocket socket;
    BoxSession session;
    SinkRecorder sinks;
};
