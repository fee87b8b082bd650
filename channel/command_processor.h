#pragma once

#include "record/number_text.h"
#include "record/record.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// Command codes sent by the master (0-10) and answer kinds sent by the
/// slave (11-13); the values are fixed by the wire format.
enum CommandCode {
    CmdBeginImport = 0,
    CmdEndImport = 1,
    CmdBeginExport = 2,
    CmdEndExport = 3,
    CmdGetNextRecord = 4,
    CmdSendRecord = 5,
    CmdGetRecordCount = 6,
    CmdReadCategoryList = 7,
    CmdWriteCategoryList = 8,
    CmdDeleteRecord = 9,
    CmdDeleteAll = 10,
    CmdResponse = 11,
    CmdResponseCount = 12,
    CmdResponseCategories = 13
};

/// The result of every master operation. The slave passes its handler's
/// result on unchanged, so the wire may carry any 32-bit value; the fixed
/// underlying type makes every such value a valid ResponseCode.
enum ResponseCode : std::int32_t {
    ResponseOk = 0,
    ResponseFailed = 1,
    ResponseNoMoreRecords = 2,
    /// Made up by the master when Palm Desktop went away; never on the wire.
    ResponsePalmDesktopClosed = -2
};

/// The Palm Desktop section a command acts on.
enum Section { SectionCalendar = 0, SectionContact = 1, SectionTodo = 2, SectionMemo = 3 };

/// One message of the command channel, a command or its answer, with its
/// text form. Every field of the text is ended by 0xB6; a category list is
/// each element followed by 0xA3; numbers are plain decimal. A record, when
/// the message carries one, comes last in its own text form.
class CommandProcessor {
public:
    /// Ends every field of the message text.
    static constexpr char fieldEnd = '\xB6';
    /// Ends every element of a category list.
    static constexpr char elementEnd = '\xA3';

    /// Command code or answer kind.
    void setCommand(int command) { command_ = command; }
    int getCommand() const { return command_; }
    /// The section a command acts on.
    void setSection(int section) { section_ = section; }
    int getSection() const { return section_; }
    /// The result of a command, in answers.
    void setResponseCode(int responseCode) { responseCode_ = responseCode; }
    int getResponseCode() const { return responseCode_; }
    /// A record count, in answers to a count request.
    void setCount(int count) { count_ = count; }
    int getCount() const { return count_; }
    /// A record identifier: a command's argument or an answer's result.
    void setRecordId(const std::string& recordId) { recordId_ = recordId; }
    std::string getRecordId() const { return recordId_; }
    /// Replaces the category list.
    void setCategories(const std::vector<std::string>& categories) { categories_ = categories; }
    std::vector<std::string> getCategories() const { return categories_; }
    /// Copies a record in; from then on the message carries it.
    void setRecord(const Record& record)
    {
        record_ = record;
        hasRecord_ = true;
    }
    Record getRecord() const { return record_; }

    /// Builds the message text; the characters stay valid, NUL-terminated,
    /// until this object is changed or destroyed.
    const char* serialize()
    {
        textBuffer_.clear();
        appendNumber(command_);
        textBuffer_ += hasRecord_ ? '1' : '0';
        textBuffer_ += fieldEnd;
        switch (command_) {
        case CmdBeginImport:
        case CmdBeginExport:
        case CmdReadCategoryList:
            appendNumber(section_);
            break;
        case CmdWriteCategoryList:
            appendCategories();
            break;
        case CmdDeleteRecord:
            appendBytes(recordId_);
            break;
        case CmdResponse:
            appendBytes(recordId_);
            appendNumber(responseCode_);
            break;
        case CmdResponseCount:
            appendNumber(responseCode_);
            appendNumber(count_);
            break;
        case CmdResponseCategories:
            appendNumber(responseCode_);
            appendCategories();
            break;
        default:
            break;
        }
        if (hasRecord_)
            record_.saveTo(textBuffer_);
        return textBuffer_.c_str();
    }

    /// Reads a NUL-terminated message text into this object. Never fails:
    /// missing separators and fields without digits read as the rules give.
    /// The command, section, record id and categories change only where the
    /// text carries them; a null pointer reads as the empty text.
    void parse(const char* text)
    {
        responseCode_ = 0;
        hasRecord_ = false;
        count_ = 0;
        record_.clear();
        textBuffer_.clear();

        std::string_view work = text ? std::string_view(text) : std::string_view();
        command_ = number_text::readInt(readField(work));
        hasRecord_ = number_text::readInt(readField(work)) != 0;
        switch (command_) {
        case CmdBeginImport:
        case CmdBeginExport:
        case CmdReadCategoryList:
            section_ = number_text::readInt(readField(work));
            break;
        case CmdWriteCategoryList:
            // The list is read from what remains, which stays as it is.
            readCategories(work);
            break;
        case CmdDeleteRecord:
            recordId_ = std::string(readField(work));
            break;
        case CmdResponse:
            recordId_ = std::string(readField(work));
            responseCode_ = number_text::readInt(readField(work));
            break;
        case CmdResponseCount:
            responseCode_ = number_text::readInt(readField(work));
            count_ = number_text::readInt(readField(work));
            break;
        case CmdResponseCategories:
            responseCode_ = number_text::readInt(readField(work));
            readCategories(work);
            break;
        default:
            break;
        }
        if (hasRecord_)
            record_.restoreFrom(work);
    }

private:
    /// The bytes before the first 0xB6, the rest becoming what follows it.
    /// Without a 0xB6 the whole rest is the field and the rest stays whole.
    static std::string_view readField(std::string_view& work)
    {
        const std::size_t end = work.find(fieldEnd);
        if (end == std::string_view::npos)
            return work;
        const std::string_view field = work.substr(0, end);
        work.remove_prefix(end + 1);
        return field;
    }

    /// Every piece of `list` ended by 0xA3 becomes an element, empty ones
    /// included; the piece after the last 0xA3 is dropped.
    void readCategories(std::string_view list)
    {
        categories_.clear();
        for (std::size_t end = list.find(elementEnd); end != std::string_view::npos;
             end = list.find(elementEnd)) {
            categories_.emplace_back(list.substr(0, end));
            list.remove_prefix(end + 1);
        }
    }

    void appendNumber(int value)
    {
        number_text::appendDecimal(textBuffer_, value);
        textBuffer_ += fieldEnd;
    }

    void appendBytes(const std::string& value)
    {
        textBuffer_ += value;
        textBuffer_ += fieldEnd;
    }

    void appendCategories()
    {
        for (const std::string& category : categories_) {
            textBuffer_ += category;
            textBuffer_ += elementEnd;
        }
        textBuffer_ += fieldEnd;
    }

    Record record_;
    int command_ = 0;
    std::string textBuffer_;
    int section_ = 0;
    int responseCode_ = 0;
    bool hasRecord_ = false;
    int count_ = 0;
    std::string recordId_;
    std::vector<std::string> categories_;
};
