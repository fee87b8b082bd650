#pragma once

// The field keys of the records of all four sections, spelled exactly as the
// wire format has them, irregularities included ("117.Phone Main" without a
// hyphen, "132.Web site", the to-do section's use of "310.Recurring Flag").
// The lists at the end of each section give the keys in their defined order.

#include <array>

namespace fieldkey {

/// The record identifier, carried by the records of every section.
inline constexpr const char* RecordId = "RecordId";
/// The text form of a `Repeat`, carried by calendar and to-do records.
inline constexpr const char* Repeat = "Repeat";

/// Keys of contact records.
namespace contact {
inline constexpr const char* EmptyCompanyName = "103.Company Name";  ///< always exported empty
inline constexpr const char* EmptyFirstName = "101.First Name";      ///< always exported empty
inline constexpr const char* EmptyLastName = "100.Last Name";        ///< always exported empty
inline constexpr const char* LastName = "128.Last Name";
inline constexpr const char* YomiLastName = "125.Yomi Last Name";
inline constexpr const char* FirstName = "129.First Name";
inline constexpr const char* YomiFirstName = "126.Yomi First Name";
inline constexpr const char* MiddleName = "124.Middle Name";
inline constexpr const char* JobTitle = "102.Job Title";
inline constexpr const char* CompanyName = "130.Company Name";
inline constexpr const char* YomiCompanyName = "127.Yomi Company Name";
inline constexpr const char* BusinessStreet = "104.Business Street";
inline constexpr const char* BusinessCity = "105.Business City";
inline constexpr const char* BusinessState = "106.Business State";
inline constexpr const char* BusinessZip = "107.Business Zip";
inline constexpr const char* BusinessCountry = "108.Business Country";
inline constexpr const char* Notes = "109.Notes";
inline constexpr const char* ConfidentialFlag = "110.Confidential Flag";
inline constexpr const char* Category = "111.Category";
inline constexpr const char* PhoneBusiness = "112.Phone - Business";
inline constexpr const char* PhoneHome = "113.Phone - Home";
inline constexpr const char* PhoneFax = "114.Phone - Fax";
inline constexpr const char* EMail1Address = "116.EMail-1 Address";
inline constexpr const char* PhoneMobile = "119.Phone - Mobile";
inline constexpr const char* PhoneMain = "117.Phone Main";
inline constexpr const char* PhoneOther = "115.Phone - Other";
inline constexpr const char* PhonePager = "118.Phone - Pager";
inline constexpr const char* Custom1 = "120.Custom 1";
inline constexpr const char* Custom2 = "121.Custom 2";
inline constexpr const char* Custom3 = "122.Custom 3";
inline constexpr const char* Custom4 = "123.Custom 4";
inline constexpr const char* Im = "131.Im";
inline constexpr const char* WebSite = "132.Web site";
inline constexpr const char* Birthday = "133.Birthday";
inline constexpr const char* Custom5 = "134.Custom 5";
inline constexpr const char* Custom6 = "135.Custom 6";
inline constexpr const char* Custom7 = "136.Custom 7";
inline constexpr const char* Custom8 = "137.Custom 8";
inline constexpr const char* Custom9 = "138.Custom 9";
inline constexpr const char* Address2 = "139.Address 2";
inline constexpr const char* City2 = "140.City 2";
inline constexpr const char* State2 = "141.State 2";
inline constexpr const char* ZipCode2 = "142.Zip Code 2";
inline constexpr const char* Country2 = "143.Country 2";
inline constexpr const char* Address3 = "144.Address 3";
inline constexpr const char* City3 = "145.City 3";
inline constexpr const char* State3 = "146.State 3";
inline constexpr const char* ZipCode3 = "147.Zip Code 3";
inline constexpr const char* Country3 = "148.Country 3";
inline constexpr const char* Im2 = "149.Im2";

/// Every contact key in its defined order ("RecordId" not included).
inline constexpr std::array<const char*, 50> all = {
    EmptyCompanyName, EmptyFirstName, EmptyLastName, LastName, YomiLastName, FirstName,
    YomiFirstName, MiddleName, JobTitle, CompanyName, YomiCompanyName, BusinessStreet,
    BusinessCity, BusinessState, BusinessZip, BusinessCountry, Notes, ConfidentialFlag,
    Category, PhoneBusiness, PhoneHome, PhoneFax, EMail1Address, PhoneMobile, PhoneMain,
    PhoneOther, PhonePager, Custom1, Custom2, Custom3, Custom4, Im, WebSite, Birthday,
    Custom5, Custom6, Custom7, Custom8, Custom9, Address2, City2, State2, ZipCode2, Country2,
    Address3, City3, State3, ZipCode3, Country3, Im2};
}  // namespace contact

/// Keys of calendar records.
namespace calendar {
inline constexpr const char* StartDate = "300.Start Date";
inline constexpr const char* EndDate = "301.End Date";
inline constexpr const char* StartTime = "302.Start Time";
inline constexpr const char* EndTime = "303.End Time";
inline constexpr const char* Description = "304.Description";
inline constexpr const char* Notes = "305.Notes";
inline constexpr const char* ConfidentialFlag = "306.Confidential Flag";
inline constexpr const char* AlarmFlag = "307.Alarm Flag";
inline constexpr const char* AlarmDate = "308.Alarm Date";
inline constexpr const char* AlarmTime = "309.Alarm Time";
inline constexpr const char* RecurringFlag = "310.Recurring Flag";
inline constexpr const char* Location = "311.Location";
inline constexpr const char* Category = "312.Category";

/// Every calendar key in its defined order ("RecordId" and "Repeat" not included).
inline constexpr std::array<const char*, 13> all = {
    StartDate, EndDate, StartTime, EndTime, Description, Notes, ConfidentialFlag,
    AlarmFlag, AlarmDate, AlarmTime, RecurringFlag, Location, Category};
}  // namespace calendar

/// Keys of to-do records.
namespace todo {
inline constexpr const char* Description = "200.Description";
inline constexpr const char* DueDate = "201.Due Date";
inline constexpr const char* CompletedFlag = "202.Completed Flag";
inline constexpr const char* Priority = "203.Priority";
inline constexpr const char* ConfidentialFlag = "204.Confidential Flag";
inline constexpr const char* Category = "205.Category";
inline constexpr const char* Notes = "206.Notes";
inline constexpr const char* AlarmFlag = "207.Alarm Flag";
inline constexpr const char* AlarmTime = "209.Alarm Time";
inline constexpr const char* AlarmDate = "208.Alarm Date";
/// The to-do section shares the calendar's key for the recurring flag.
inline constexpr const char* RecurringFlag = calendar::RecurringFlag;

/// Every to-do key in its defined order ("RecordId" and "Repeat" not included).
inline constexpr std::array<const char*, 11> all = {
    Description, DueDate, CompletedFlag, Priority, ConfidentialFlag, Category,
    Notes, AlarmFlag, AlarmTime, AlarmDate, RecurringFlag};
}  // namespace todo

/// Keys of memo records.
namespace memo {
inline constexpr const char* Title = "400.Memo Title";
inline constexpr const char* Body = "401.Memo Body";
inline constexpr const char* Category = "402.Category";
inline constexpr const char* Private = "403.Private";

/// Every memo key in its defined order ("RecordId" not included).
inline constexpr std::array<const char*, 4> all = {Title, Body, Category, Private};
}  // namespace memo

}  // namespace fieldkey
