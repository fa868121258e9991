#include "CallLogLink.h"

#include "Clock.h"

qint64 CallLogLink::now() { return Clock::current().nowMs(); }

std::vector<std::string> CallLogLink::names() const {
    std::vector<std::string> out;
    for (const Call& call : calls_) out.push_back(call.name);
    return out;
}

std::vector<CallLogLink::Call> CallLogLink::of(const std::string& name) const {
    std::vector<Call> out;
    for (const Call& call : calls_)
        if (call.name == name) out.push_back(call);
    return out;
}

void CallLogLink::ConfigureLink1(int32_t v) {
    run("ConfigureLink1", [&] { link_.ConfigureLink1(v); });
}
void CallLogLink::ConfigureLink2(int32_t v) {
    run("ConfigureLink2", [&] { link_.ConfigureLink2(v); });
}
void CallLogLink::ConfigureLink3(int32_t v) {
    run("ConfigureLink3", [&] { link_.ConfigureLink3(v); });
}
void CallLogLink::ClosePort() {
    run("ClosePort", [&] { link_.ClosePort(); });
}
int32_t CallLogLink::IsConnected() {
    return run("IsConnected", [&] { return link_.IsConnected(); });
}
int32_t CallLogLink::Connect() {
    return run("Connect", [&] { return link_.Connect(); });
}
void CallLogLink::Disconnect() {
    run("Disconnect", [&] { link_.Disconnect(); });
}
void CallLogLink::EndProgramming() {
    run("EndProgramming", [&] { link_.EndProgramming(); });
}
void CallLogLink::BeginProgramming() {
    run("BeginProgramming", [&] { link_.BeginProgramming(); });
}
void CallLogLink::EnterPollingMode() {
    run("EnterPollingMode", [&] { link_.EnterPollingMode(); });
}
void CallLogLink::LeavePollingMode() {
    run("LeavePollingMode", [&] { link_.LeavePollingMode(); });
}
uint8_t CallLogLink::ReadVariable(uint32_t id, int32_t* buffer) {
    return run("ReadVariable", [&] { return link_.ReadVariable(id, buffer); });
}
uint8_t CallLogLink::ReadRow(uint32_t id, int32_t* rowBuffer, int32_t row) {
    return run("ReadRow", [&] { return link_.ReadRow(id, rowBuffer, row); });
}
uint8_t CallLogLink::ReadBlock(int32_t block, uint8_t* bytes, int32_t* length) {
    return run("ReadBlock", [&] { return link_.ReadBlock(block, bytes, length); });
}
uint8_t CallLogLink::WriteVariable(uint32_t id, const int32_t* buffer) {
    return run("WriteVariable", [&] { return link_.WriteVariable(id, buffer); });
}
uint8_t CallLogLink::WriteValue(uint32_t id, int32_t value) {
    return run("WriteValue", [&] { return link_.WriteValue(id, value); });
}
uint8_t CallLogLink::WriteElement(uint32_t id, int32_t index, int32_t value) {
    return run("WriteElement", [&] { return link_.WriteElement(id, index, value); });
}
uint8_t CallLogLink::WriteElement2(uint32_t id, int32_t row, int32_t column, int32_t value) {
    return run("WriteElement2", [&] { return link_.WriteElement2(id, row, column, value); });
}
uint8_t CallLogLink::WriteRow(uint32_t id, const int32_t* rowBuffer, int32_t row) {
    return run("WriteRow", [&] { return link_.WriteRow(id, rowBuffer, row); });
}
uint8_t CallLogLink::SendCommand(int32_t command, uint8_t* bytes, int32_t* status, int32_t length) {
    return run("SendCommand", [&] { return link_.SendCommand(command, bytes, status, length); });
}
uint8_t CallLogLink::ReadIdentity(uint8_t* bytes4) {
    return run("ReadIdentity", [&] { return link_.ReadIdentity(bytes4); });
}
uint8_t CallLogLink::OpenLink() {
    return run("OpenLink", [&] { return link_.OpenLink(); });
}
int32_t CallLogLink::ProgramFromFile(const char* fileName, int32_t mode, int32_t option,
                                     int32_t verify) {
    return run("ProgramFromFile",
               [&] { return link_.ProgramFromFile(fileName, mode, option, verify); });
}
int32_t CallLogLink::ProgramFromBuffer(const uint8_t* image, int32_t mode, int32_t option,
                                       int32_t verify) {
    return run("ProgramFromBuffer",
               [&] { return link_.ProgramFromBuffer(image, mode, option, verify); });
}
uint8_t CallLogLink::ReadBootCustomer(uint8_t* bytes) {
    return run("ReadBootCustomer", [&] { return link_.ReadBootCustomer(bytes); });
}
void CallLogLink::ConfigureLink4(int32_t first, int32_t second) {
    run("ConfigureLink4", [&] { link_.ConfigureLink4(first, second); });
}
int8_t CallLogLink::QueryElementSize(int32_t variable, int32_t query) {
    return run("QueryElementSize", [&] { return link_.QueryElementSize(variable, query); });
}
