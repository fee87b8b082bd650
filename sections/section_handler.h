#pragma once

#include "channel/command_processor.h"
#include "record/record.h"

#include <string>
#include <vector>

/// Carries out the channel's commands against one section of Palm Desktop
/// (contacts, calendar, to-do, memos). Every operation runs on Palm
/// Desktop's user-interface thread and answers ResponseOk, ResponseFailed,
/// or, for getNextRecord, ResponseNoMoreRecords.
///
/// The interface holds no data. Each implementation is constructed from a
/// pointer to its section's collection interface, which may be null, and
/// takes its own reference; it keeps that reference and its own
/// `lastError` (the HRESULT of the last failure it caught, 0 until then).
/// The order of the virtual operations below is binding.
class SectionHandler {
public:
    /// Prepares for sendRecord and deleteRecord.
    virtual ResponseCode beginImport() = 0;
    /// Ends an import; the handler is destroyed afterwards.
    virtual ResponseCode endImport() = 0;
    /// Positions the export walk so that getNextRecord gives the first item.
    virtual ResponseCode beginExport() = 0;
    /// Ends an export; the handler is destroyed afterwards.
    virtual ResponseCode endExport() = 0;
    /// Sets `count` to the number of items the export walks over.
    virtual ResponseCode getRecordCount(int& count) = 0;
    /// Fills the empty `record` with the next item of the export walk.
    virtual ResponseCode getNextRecord(Record& record) = 0;
    /// Writes `record` into the item carrying its "RecordId", or into a new
    /// item; `recordId` receives the identifier stored in the item.
    virtual ResponseCode sendRecord(const Record& record, std::string& recordId) = 0;
    /// Appends the section's category names, in Palm Desktop's order.
    virtual ResponseCode readCategoryList(std::vector<std::string>& names) = 0;
    /// Adds each name to the section's categories.
    virtual ResponseCode writeCategoryList(const std::vector<std::string>& names) = 0;
    /// Deletes the item carrying `recordId`, if any.
    virtual ResponseCode deleteRecord(const std::string& recordId) = 0;
    /// Deletes every item of the section.
    virtual ResponseCode deleteAll() = 0;
    /// Releases what the handler holds of Palm Desktop.
    virtual ~SectionHandler() = default;
};
