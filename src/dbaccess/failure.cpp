#include "dbaccess/failure.h"

#include "dbaccess/sqltrace.h"

namespace strataloom::db {

namespace {

struct ThreadFailure {
    std::string reason;
    bool late = false;         // a statement failed after handing out rows
    int operations = 0;        // operations open on this thread, nested ones included
    unsigned long serial = 0;  // of the outermost operation, counted per thread
};

ThreadFailure& ThisThread() {
    thread_local ThreadFailure failure;
    return failure;
}

// The trace and the host read one line per reason.
std::string OneLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    for (char& c : text) {
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    }
    return text;
}

// What each argument box of the data classes says, in English.
struct BoxEnglish {
    const char* box;
    const char* english;
};
const BoxEnglish kBoxEnglish[] = {
    {"井名称不能为空！", "the well name is empty"},
    {"工区名称不能为空！", "the project name is empty"},
    {"工区名不能为空！", "the project name is empty"},
    {"工区名称\\井名称不能为空！", "the project name or the well name is empty"},
    {"工区名称\\测网名称不能为空！", "the project name or the seismic line name is empty"},
    {"名称不能为空！", "the name is empty"},
    {"AOI区域名不能为空！", "the area name is empty"},
    {"AOI区域表为空！", "the table of areas is missing"},
    {"LineGrid3D区域名不能为空！", "the area name of the 3D survey grid is empty"},
    {"三维地震测网数据名称不能为空！", "the name of the 3D survey grid is empty"},
    {"三维地震测网数据表为空！", "the table of 3D survey grids is missing"},
    {"井列表名称不能为空！", "the well list name is empty"},
    {"井名组合不能为空！", "the section's list of wells is empty"},
    {"剖面名称不能为空！", "the section name is empty"},
    {"层名称不能为空！", "the marker name is empty"},
    {"岩性名称不能为空！", "the image name is empty"},
    {"曲线名称不能为空！", "the curve name is empty"},
    {"测线名称不能为空！", "the seismic line name is empty"},
    {"文本曲线名称不能为空！", "the text curve name is empty"},
    {"文本类型不能为空！", "the text type is empty"},
    {"工区表为空！", "the table of projects is missing"},
    {"保存数据库出错！", "the save failed"},
    {"数据库创建失败！", "the server database could not be created"},
    {"创建工区失败!\n因为无法拷贝缺省数据库。",
     "the template project database could not be copied"},
};

}  // namespace

std::string BoxReason(const std::string& boxText, const std::string& why) {
    std::string english = why;
    for (const BoxEnglish& known : kBoxEnglish) {
        if (english.empty() && boxText == known.box) english = known.english;
    }
    const std::string quoted = "\"" + OneLine(boxText) + "\"";
    return english.empty() ? "the module refused the operation: " + quoted
                           : english + " (box: " + quoted + ")";
}

const std::string& LastFailure() {
    return ThisThread().reason;
}

unsigned long CurrentOperation() {
    const ThreadFailure& failure = ThisThread();
    return failure.operations > 0 ? failure.serial : 0;
}

void NoteFailure(std::string reason) {
    ThisThread().reason = OneLine(std::move(reason));
}

void NoteLateFailure(std::string reason) {
    ThreadFailure& failure = ThisThread();
    failure.reason = OneLine(std::move(reason));
    failure.late = true;
}

std::string FailureText(const std::string& message, const std::string& where,
                        const std::string& statement) {
    std::string text = OneLine(message);
    if (!where.empty()) text += " [" + where + "]";
    if (!statement.empty()) text += " in: " + OneLine(statement);
    return text;
}

OperationRecord::OperationRecord() noexcept : outermost_(ThisThread().operations++ == 0) {
    if (!outermost_) return;
    ThisThread().reason.clear();
    ThisThread().late = false;
    ++ThisThread().serial;
}

OperationRecord::~OperationRecord() {
    --ThisThread().operations;
}

int OperationRecord::Finish(int result) noexcept {
    if (!outermost_ || finished_) return result;
    finished_ = true;
    ThreadFailure& failure = ThisThread();
    if (failure.late) {
        failure.late = false;
        result = 0;
    }
    if (result != 0) {
        failure.reason.clear();
        return result;
    }
    try {
        if (failure.reason.empty()) failure.reason = "the operation failed";
        // A comment line, so that the trace stays a list of statements.
        TraceStatement("-- failed: " + failure.reason);
    } catch (...) {
    }
    return result;
}

void OperationRecord::Restart() noexcept {
    if (!outermost_) return;
    ThisThread().reason.clear();
    ThisThread().late = false;
}

}  // namespace strataloom::db
