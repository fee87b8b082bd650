#include "channel/section_dispatch.h"

#include "channel/command_processor.h"
#include "sections/section_factory.h"

void SectionDispatch::run(int code, const win::ComPtr<PalmApplication>& application,
                          const CommandProcessor& command, CommandProcessor& answer, int& result)
{
    if (code == CmdBeginImport || code == CmdBeginExport || code == CmdReadCategoryList)
        lastSection_ = command.getSection();

    // Every path below that reaches no handler leaves this result.
    result = ResponseFailed;
    switch (code) {
    case CmdBeginImport:
        makeCurrent(application, command.getSection());
        if (current_)
            result = current_->beginImport();
        break;
    case CmdEndImport:
        if (current_) {
            result = current_->endImport();
            current_.reset();
        }
        break;
    case CmdBeginExport:
        makeCurrent(application, command.getSection());
        if (current_)
            result = current_->beginExport();
        break;
    case CmdEndExport:
        if (current_) {
            result = current_->endExport();
            current_.reset();
        }
        break;
    case CmdGetNextRecord:
        if (current_) {
            Record record;
            result = current_->getNextRecord(record);
            if (result == ResponseOk)
                answer.setRecord(record);
        }
        break;
    case CmdSendRecord:
        if (current_) {
            const Record record = command.getRecord();
            std::string recordId;
            result = current_->sendRecord(record, recordId);
            if (!recordId.empty())
                answer.setRecordId(recordId);
        }
        break;
    case CmdGetRecordCount: {
        // A count answer is of kind 12 whatever the result.
        int count = 0;
        if (current_)
            result = current_->getRecordCount(count);
        answer.setCount(count);
        answer.setCommand(CmdResponseCount);
        break;
    }
    case CmdReadCategoryList:
        if (const auto handler = maker_(application, command.getSection())) {
            std::vector<std::string> names;
            result = handler->readCategoryList(names);
            if (result == ResponseOk) {
                answer.setCategories(names);
                answer.setCommand(CmdResponseCategories);
            }
        }
        break;
    case CmdWriteCategoryList:
        if (lastSection_) {
            if (const auto handler = maker_(application, *lastSection_))
                result = handler->writeCategoryList(command.getCategories());
        }
        break;
    case CmdDeleteRecord:
        if (current_)
            result = current_->deleteRecord(command.getRecordId());
        break;
    case CmdDeleteAll:
        if (lastSection_) {
            makeCurrent(application, *lastSection_);
            if (current_) {
                result = current_->deleteAll();
                current_.reset();
            }
        }
        break;
    default:
        break;
    }
}

void SectionDispatch::reset() noexcept
{
    current_.reset();
    lastSection_.reset();
}

void SectionDispatch::makeCurrent(const win::ComPtr<PalmApplication>& application, int section)
{
    current_.reset();
    current_ = maker_(application, section);
}

SectionDispatch& sectionDispatch()
{
    static SectionDispatch dispatch(createSectionHandler);
    return dispatch;
}
