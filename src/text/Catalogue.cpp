#include "text/Catalogue.h"

#include "base/Text.h"
#include "text/TextMarker.h"

#include <array>
#include <atomic>

namespace pagelet {

namespace {

// The sources are UTF-8 in this file and stay so in the program.
static_assert(sizeof("가") == 4, "the compiler must keep string literals in UTF-8");

#define PAGELET_TEXT(name, marked) {TextId::name, #name, marked}

constexpr CatalogueEntry kEntries[] = {
    PAGELET_TEXT(NotInstalled, PAGELET_TR_NOOP("MainDialog", "정상적으로 설치되지 않았습니다.\n다시 설치하시기 바랍니다.")),
    PAGELET_TEXT(NoConfigFile, PAGELET_TR_NOOP("MainDialog", "설정파일이 존재하지 않습니다.\n다시 설치하시기 바랍니다.")),
    PAGELET_TEXT(Quitting, PAGELET_TR_NOOP("MainDialog", "프로그램을 종료합니다.")),
    PAGELET_TEXT(SaveBeforeQuit, PAGELET_TR_NOOP("MainDialog", "프로그램을 종료하기 전에\n데이터를 저장하시겠습니까?")),
    PAGELET_TEXT(RecoverJournal, PAGELET_TR_NOOP("MainDialog", "%1의 저장하지 못한 일기가 있습니다.\n되살리시겠습니까?")),
    PAGELET_TEXT(LongDate, PAGELET_TR_NOOP("MainDialog", "%1년 %2월 %3일")),
    PAGELET_TEXT(SettingsNotSaved, PAGELET_TR_NOOP("Settings", "설정을 저장할 수 없습니다.")),
    PAGELET_TEXT(BadDataPath, PAGELET_TR_NOOP("Settings", "적절한 경로를 설정하시기 바랍니다.")),
    PAGELET_TEXT(BadNewPassword, PAGELET_TR_NOOP("Password", "적절한 암호를 설정하시기 바랍니다.")),
    PAGELET_TEXT(WrongPassword, PAGELET_TR_NOOP("Password", "암호가 일치하지 않습니다.\n다시 입력하세요.")),
    PAGELET_TEXT(PageNotSaved, PAGELET_TR_NOOP("ShownDay", "일기를 저장할 수 없습니다.")),
    PAGELET_TEXT(PageNotDeleted, PAGELET_TR_NOOP("ShownDay", "일기를 지울 수 없습니다.")),
    PAGELET_TEXT(PageUnreadable, PAGELET_TR_NOOP("ShownDay", "일기를 읽을 수 없습니다.")),
    PAGELET_TEXT(CheckDataFolder, PAGELET_TR_NOOP("ShownDay", "데이터 폴더를 확인하시기 바랍니다.")),
    PAGELET_TEXT(DeletePageQuestion, PAGELET_TR_NOOP("ShownDay", "일기를 정말로 지우시겠습니까?")),
    PAGELET_TEXT(DeleteMemoQuestion, PAGELET_TR_NOOP("ShownDay", "녹음된 데이터를 정말로 지우시겠습니까?")),
    PAGELET_TEXT(MergedOutsideChange,
                 PAGELET_TR_NOOP("ShownDay", "이 날의 일기가 다른 곳에서 바뀌었습니다.\n두 내용을 합쳐 저장했습니다.")),
    PAGELET_TEXT(OutsideChangeMarker, PAGELET_TR_NOOP("ShownDay", "──── 다른 곳에서 바뀐 내용 ────")),
    PAGELET_TEXT(NotDeletedChangedOutside,
                 PAGELET_TR_NOOP("ShownDay", "이 날의 일기가 다른 곳에서 바뀌어 지우지 않았습니다.\n바뀐 내용을 확인하시기 바랍니다.")),
    PAGELET_TEXT(ConflictCopyQuestion,
                 PAGELET_TR_NOOP("ShownDay", "이 날의 일기를 다른 곳에서 쓴 사본이 있습니다.\n사본의 내용을 이 일기에 합치시겠습니까?")),
    PAGELET_TEXT(MemoCopyQuestion,
                 PAGELET_TR_NOOP("ShownDay", "이 날의 음성 메모를 다른 곳에서 녹음한 사본이 있습니다.\n사본을 이 날의 메모로 하시겠습니까?")),
    PAGELET_TEXT(ImportedMarker, PAGELET_TR_NOOP("DiaryImport", "──── 가져온 내용 ────")),
    PAGELET_TEXT(Attachment, PAGELET_TR_NOOP("DiaryImport", "첨부: %1")),
    PAGELET_TEXT(NothingThisMonth,
                 PAGELET_TR_NOOP("FindDialog", "이번 달 일기중에는 \"%1\" 를 포함하는\r\n일기가 없습니다 !")),
    PAGELET_TEXT(NoMoreMatches, PAGELET_TR_NOOP("FindDialog", " 더이상 찾을수 없습니다 !")),
    PAGELET_TEXT(NotOnThisDay, PAGELET_TR_NOOP("FindDialog", "이날의 일기는 \"%1\" 를 포함하지 않습니다 !")),
    PAGELET_TEXT(KeyFileUnreadable, PAGELET_TR_NOOP("Encryption", "일기의 열쇠 파일을 읽을 수 없습니다.\n%1")),
    PAGELET_TEXT(KeyFileMissing,
                 PAGELET_TR_NOOP("Encryption", "일기 열쇠 파일 (pagelet.key)이 없습니다.\n백업에서 되살려 주십시오.")),
    PAGELET_TEXT(PassphraseTooShort, PAGELET_TR_NOOP("Encryption", "암호는 8자 이상이어야 합니다.")),
    PAGELET_TEXT(KeyFileNotWritten, PAGELET_TR_NOOP("Encryption", "열쇠 파일을 쓸 수 없어 아무것도 바꾸지 않았습니다.")),
    PAGELET_TEXT(Converting, PAGELET_TR_NOOP("Encryption", "일기를 변환하고 있습니다...")),
    PAGELET_TEXT(Encrypted,
                 PAGELET_TR_NOOP("Encryption", "일기를 암호화했습니다.\n\n적어 둔 복구 키는 컴퓨터와 따로 보관하세요.\n"
                                               "비밀번호를 잊으면 그 키로만 열 수 있습니다.")),
    PAGELET_TEXT(ChangeOrDecrypt,
                 PAGELET_TR_NOOP("Encryption", "비밀번호를 바꾸시겠습니까?\n[아니요]를 누르면 일기의 암호화를 풉니다.")),
    PAGELET_TEXT(PassphraseChanged, PAGELET_TR_NOOP("Encryption", "비밀번호를 바꿨습니다.")),
    PAGELET_TEXT(Decrypted, PAGELET_TR_NOOP("Encryption", "일기의 암호화를 풀었습니다.")),
    PAGELET_TEXT(ConversionIncomplete,
                 PAGELET_TR_NOOP("Encryption", "변환하지 못한 파일이 있습니다. 다시 하면 이어서 변환합니다.")),
    PAGELET_TEXT(PassphraseKeepsDiary,
                 PAGELET_TR_NOOP("Encryption", "비밀번호를 입력하세요.\n3번 이상 틀리면\n바꾸지 않고 돌아갑니다.")),
    PAGELET_TEXT(Morning, PAGELET_TR_NOOP("TimeStamp", "오전")),
    PAGELET_TEXT(Afternoon, PAGELET_TR_NOOP("TimeStamp", "오후")),
    PAGELET_TEXT(WeatherLine, PAGELET_TR_NOOP("DiaryExport", "날씨: %1")),
    PAGELET_TEXT(VoiceMemo, PAGELET_TR_NOOP("DiaryExport", "음성 메모")),
    // The language the texts are in, as a web page declares it.
    PAGELET_TEXT(Language, PAGELET_TR_NOOP("DiaryExport", "ko")),
    PAGELET_TEXT(Clear, PAGELET_TR_NOOP("Weather", "맑음")),
    PAGELET_TEXT(FewClouds, PAGELET_TR_NOOP("Weather", "구름 조금")),
    PAGELET_TEXT(Cloudy, PAGELET_TR_NOOP("Weather", "흐림")),
    PAGELET_TEXT(Rain, PAGELET_TR_NOOP("Weather", "비")),
    PAGELET_TEXT(Snow, PAGELET_TR_NOOP("Weather", "눈")),
    PAGELET_TEXT(Sunday, PAGELET_TR_NOOP("Weekday", "일")),
    PAGELET_TEXT(Monday, PAGELET_TR_NOOP("Weekday", "월")),
    PAGELET_TEXT(Tuesday, PAGELET_TR_NOOP("Weekday", "화")),
    PAGELET_TEXT(Wednesday, PAGELET_TR_NOOP("Weekday", "수")),
    PAGELET_TEXT(Thursday, PAGELET_TR_NOOP("Weekday", "목")),
    PAGELET_TEXT(Friday, PAGELET_TR_NOOP("Weekday", "금")),
    PAGELET_TEXT(Saturday, PAGELET_TR_NOOP("Weekday", "토")),
    PAGELET_TEXT(January, PAGELET_TR_NOOP("Month", "1월")),
    PAGELET_TEXT(February, PAGELET_TR_NOOP("Month", "2월")),
    PAGELET_TEXT(March, PAGELET_TR_NOOP("Month", "3월")),
    PAGELET_TEXT(April, PAGELET_TR_NOOP("Month", "4월")),
    PAGELET_TEXT(May, PAGELET_TR_NOOP("Month", "5월")),
    PAGELET_TEXT(June, PAGELET_TR_NOOP("Month", "6월")),
    PAGELET_TEXT(July, PAGELET_TR_NOOP("Month", "7월")),
    PAGELET_TEXT(August, PAGELET_TR_NOOP("Month", "8월")),
    PAGELET_TEXT(September, PAGELET_TR_NOOP("Month", "9월")),
    PAGELET_TEXT(October, PAGELET_TR_NOOP("Month", "10월")),
    PAGELET_TEXT(November, PAGELET_TR_NOOP("Month", "11월")),
    PAGELET_TEXT(December, PAGELET_TR_NOOP("Month", "12월")),
};

#undef PAGELET_TEXT

constexpr std::size_t kCount = static_cast<std::size_t>(TextId::Count);

constexpr bool inNameOrder()
{
    for (std::size_t i = 0; i < std::size(kEntries); ++i)
        if (static_cast<std::size_t>(kEntries[i].id) != i)
            return false;
    return std::size(kEntries) == kCount;
}
static_assert(inNameOrder(), "one entry per name, in the order of TextId");

std::atomic<TextLookup> g_lookup{nullptr};

// Converted once: the search and the export ask for weekday and weather words per page.
const std::array<std::u16string, kCount>& sources()
{
    static const auto converted = [] {
        std::array<std::u16string, kCount> out;
        for (std::size_t i = 0; i < kCount; ++i)
            out[i] = fromUtf8(kEntries[i].source);
        return out;
    }();
    return converted;
}

} // namespace

std::span<const CatalogueEntry> catalogue()
{
    return kEntries;
}

void setTextLookup(TextLookup lookup)
{
    g_lookup.store(lookup);
}

std::u16string textOf(TextId id)
{
    const auto i = static_cast<std::size_t>(id);
    if (i >= kCount)
        return {};
    if (const TextLookup lookup = g_lookup.load())
        return lookup(kEntries[i].context, kEntries[i].source);
    return sources()[i];
}

std::u16string textOf(TextId first, int n)
{
    return textOf(static_cast<TextId>(static_cast<int>(first) + n));
}

std::u16string dataFolderProblem(TextId problem)
{
    return textOf(problem) + u"\n" + textOf(TextId::CheckDataFolder);
}

std::u16string withArgument(std::u16string_view pattern, std::u16string_view argument)
{
    std::u16string out;
    std::size_t from = 0;
    for (std::size_t at; (at = pattern.find(u"%1", from)) != std::u16string_view::npos; from = at + 2) {
        out += pattern.substr(from, at - from);
        out += argument;
    }
    out += pattern.substr(from);
    return out;
}

std::u16string weekdayName(const LocalDate& date)
{
    return textOf(TextId::Sunday, weekdayOf(date));
}

} // namespace pagelet
