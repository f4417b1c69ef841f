<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ko_KR">
<context>
    <name>DialogTemplate</name>
    <message>
        <source>비밀번호 입력</source>
        <translation>Enter Password</translation>
    </message>
    <message>
        <source>일기 암호화...</source>
        <translation>Encryption...</translation>
    </message>
    <message>
        <source>패스워드를 입력하세요.
3번 이상 틀리면
프로그램이 종료됩니다.</source>
        <translation>Enter your password.
Three wrong tries
close Pagelet.</translation>
    </message>
    <message>
        <source>확  인</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>취  소</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>환경 설정</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>비밀번호 사용</source>
        <translation>Use password</translation>
    </message>
    <message>
        <source>설  정</source>
        <translation>Set...</translation>
    </message>
    <message>
        <source>스킨 선택</source>
        <translation>Skin</translation>
    </message>
    <message>
        <source>키보드 자동 활성화</source>
        <translation>Show keyboard automatically</translation>
    </message>
    <message>
        <source>시간 표시</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>데이터</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>백업 폴더</source>
        <translation>Backups</translation>
    </message>
    <message>
        <source>새 비밀번호 입력</source>
        <translation>New Password</translation>
    </message>
    <message>
        <source>새로운 패스워드를 입력하세요.</source>
        <translation>Enter a new password.</translation>
    </message>
    <message>
        <source>패스워드</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>확      인</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>찾기</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>찾는 단어</source>
        <translation>Find what</translation>
    </message>
    <message>
        <source>대소문자 구별</source>
        <translation>Match case</translation>
    </message>
    <message>
        <source>찾   기</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>다음 찾기</source>
        <translation>Find Next</translation>
    </message>
    <message>
        <source>복구 키</source>
        <translation>Recovery Key</translation>
    </message>
    <message>
        <source>복구 키를 적어서 컴퓨터와
따로 보관하세요. 비밀번호를
잊으면 이 키로만 열 수 있고,
다시 보여 주지 않습니다.</source>
        <translation>Write this key down, away from
the computer. Only it opens the
diary if the passphrase is lost.
It is not shown again.</translation>
    </message>
    <message>
        <source>적어 두었습니다</source>
        <translation>I have written it down</translation>
    </message>
</context>
<context>
    <name>DiaryApp</name>
    <message>
        <source>Pagelet을 설치하지 못했습니다.

%1</source>
        <translation>Pagelet could not be set up.

%1</translation>
    </message>
</context>
<context>
    <name>DiaryExport</name>
    <message>
        <source>날씨: %1</source>
        <translation>Weather: %1</translation>
    </message>
    <message>
        <source>음성 메모</source>
        <translation>Voice memo</translation>
    </message>
    <message>
        <source>ko</source>
        <translation>en</translation>
    </message>
</context>
<context>
    <name>DiaryImport</name>
    <message>
        <source>──── 가져온 내용 ────</source>
        <translation>──── Imported ────</translation>
    </message>
    <message>
        <source>첨부: %1</source>
        <translation>Attachment: %1</translation>
    </message>
</context>
<context>
    <name>Encryption</name>
    <message>
        <source>일기의 열쇠 파일을 읽을 수 없습니다.
%1</source>
        <translation>The diary&apos;s key file cannot be read.
%1</translation>
    </message>
    <message>
        <source>열쇠 파일을 쓸 수 없어 아무것도 바꾸지 않았습니다.</source>
        <translation>The key file could not be written; nothing was changed.</translation>
    </message>
    <message>
        <source>일기를 변환하고 있습니다...</source>
        <translation>Converting the diary...</translation>
    </message>
    <message>
        <source>일기를 암호화했습니다.

적어 둔 복구 키는 컴퓨터와 따로 보관하세요.
비밀번호를 잊으면 그 키로만 열 수 있습니다.</source>
        <translation>The diary is encrypted.

Keep the recovery key you wrote down away from the computer.
It alone opens the diary when the passphrase is lost.</translation>
    </message>
    <message>
        <source>비밀번호를 바꾸시겠습니까?
[아니요]를 누르면 일기의 암호화를 풉니다.</source>
        <translation>Change the passphrase?
[No] decrypts the diary instead.</translation>
    </message>
    <message>
        <source>비밀번호를 바꿨습니다.</source>
        <translation>The passphrase was changed.</translation>
    </message>
    <message>
        <source>일기의 암호화를 풀었습니다.</source>
        <translation>The diary is decrypted.</translation>
    </message>
    <message>
        <source>변환하지 못한 파일이 있습니다. 다시 하면 이어서 변환합니다.</source>
        <translation>Some files could not be converted. Doing it again carries on from there.</translation>
    </message>
    <message>
        <source>비밀번호를 입력하세요.
3번 이상 틀리면
바꾸지 않고 돌아갑니다.</source>
        <translation>Enter the passphrase.
Three wrong tries
change nothing.</translation>
    </message>
    <message>
        <source>일기 열쇠 파일 (pagelet.key)이 없습니다.
백업에서 되살려 주십시오.</source>
        <translation>The diary&apos;s key file (pagelet.key) is missing.
Restore it from a backup.</translation>
    </message>
    <message>
        <source>암호는 8자 이상이어야 합니다.</source>
        <translation>The passphrase must be at least 8 characters.</translation>
    </message>
</context>
<context>
    <name>ExportAction</name>
    <message>
        <source>Markdown (*.md)</source>
        <translation>Markdown (*.md)</translation>
    </message>
    <message>
        <source>웹 페이지 (*.html)</source>
        <translation>Web page (*.html)</translation>
    </message>
    <message>
        <source>일기 폴더를 읽을 수 없습니다.</source>
        <translation>The diary folder cannot be read.</translation>
    </message>
    <message>
        <source>일기 폴더 안에는 내보낼 수 없습니다.
다른 곳을 고르십시오.</source>
        <translation>You cannot export into the diary folder.
Please choose another place.</translation>
    </message>
    <message>
        <source>%1
파일을 쓸 수 없습니다. 아무것도 쓰지 않았습니다.</source>
        <translation>%1
This file cannot be written. Nothing was exported.</translation>
    </message>
    <message numerus="yes">
        <source>일기 %n일을 내보냈습니다.
%1</source>
        <translation>
            <numerusform>Exported %n day of the diary.
%1</numerusform>
            <numerusform>Exported %n days of the diary.
%1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>

음성 메모 %n개를 옆 폴더에 복사했습니다.
%1</source>
        <translation>
            <numerusform>

Copied %n voice memo into the folder beside it.
%1</numerusform>
            <numerusform>

Copied %n voice memos into the folder beside it.
%1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>

읽을 수 없는 음성 메모 %n개는 건너뛰었습니다.</source>
        <translation>
            <numerusform>

Skipped %n voice memo that could not be read.</numerusform>
            <numerusform>

Skipped %n voice memos that could not be read.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>

읽을 수 없는 일기 %n개는 건너뛰었습니다.</source>
        <translation>
            <numerusform>

%n page could not be read and was skipped.</numerusform>
            <numerusform>

%n pages could not be read and were skipped.</numerusform>
        </translation>
    </message>
    <message>
        <source>내보내기</source>
        <translation>Export</translation>
    </message>
</context>
<context>
    <name>FindDialog</name>
    <message>
        <source>이번 달 일기중에는 &quot;%1&quot; 를 포함하는<byte value="xd"/>
일기가 없습니다 !</source>
        <translation>No page this month<byte value="xd"/>
contains &quot;%1&quot;.</translation>
    </message>
    <message>
        <source> 더이상 찾을수 없습니다 !</source>
        <translation>No more matches.</translation>
    </message>
    <message>
        <source>이날의 일기는 &quot;%1&quot; 를 포함하지 않습니다 !</source>
        <translation>This day&apos;s page does not contain &quot;%1&quot;.</translation>
    </message>
</context>
<context>
    <name>ImportAction</name>
    <message>
        <source>가져올 수 없습니다. 아무것도 바꾸지 않았습니다.
%1</source>
        <translation>Cannot import. Nothing was changed.
%1</translation>
    </message>
    <message numerus="yes">
        <source>항목 %n개, 일기 %1일 (새 일기 %2일)</source>
        <translation>
            <numerusform>%n entry into %1 days (%2 new pages)</numerusform>
            <numerusform>%n entries into %1 days (%2 new pages)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, 이미 있는 항목 %n개 건너뜀</source>
        <translation>
            <numerusform>, skipped %n entry already in the diary</numerusform>
            <numerusform>, skipped %n entries already in the diary</numerusform>
        </translation>
    </message>
    <message>
        <source>가져올 내용: %1</source>
        <translation>To import: %1</translation>
    </message>
    <message>
        <source>새 일기</source>
        <translation>new page</translation>
    </message>
    <message>
        <source>있는 일기에 덧붙임</source>
        <translation>added to its page</translation>
    </message>
    <message>
        <source>가져올까요?</source>
        <translation>Import it?</translation>
    </message>
    <message>
        <source>새로 가져올 내용이 없습니다. 모두 이미 일기에 있습니다.</source>
        <translation>Nothing new to import: all of it is already in the diary.</translation>
    </message>
    <message>
        <source>가져왔습니다: %1</source>
        <translation>Imported %1.</translation>
    </message>
    <message>
        <source>가져오기</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>다른 일기의 파일을 가져올까요, 폴더를 가져올까요?</source>
        <translation>Import a file of another diary, or a folder?</translation>
    </message>
    <message>
        <source>파일...</source>
        <translation>File...</translation>
    </message>
    <message>
        <source>폴더...</source>
        <translation>Folder...</translation>
    </message>
</context>
<context>
    <name>MainDialog</name>
    <message>
        <source>정상적으로 설치되지 않았습니다.
다시 설치하시기 바랍니다.</source>
        <translation>Pagelet is not installed properly.
Please install it again.</translation>
    </message>
    <message>
        <source>설정파일이 존재하지 않습니다.
다시 설치하시기 바랍니다.</source>
        <translation>The settings file is missing.
Please install Pagelet again.</translation>
    </message>
    <message>
        <source>프로그램을 종료합니다.</source>
        <translation>Pagelet will now close.</translation>
    </message>
    <message>
        <source>프로그램을 종료하기 전에
데이터를 저장하시겠습니까?</source>
        <translation>Save your changes
before closing?</translation>
    </message>
    <message>
        <source>%1의 저장하지 못한 일기가 있습니다.
되살리시겠습니까?</source>
        <translation>A page of %1 was not saved.
Bring it back?</translation>
    </message>
    <message>
        <source>%1년 %2월 %3일</source>
        <translation>%2/%3/%1</translation>
    </message>
</context>
<context>
    <name>Month</name>
    <message>
        <source>1월</source>
        <translation>Jan</translation>
    </message>
    <message>
        <source>2월</source>
        <translation>Feb</translation>
    </message>
    <message>
        <source>3월</source>
        <translation>Mar</translation>
    </message>
    <message>
        <source>4월</source>
        <translation>Apr</translation>
    </message>
    <message>
        <source>5월</source>
        <translation>May</translation>
    </message>
    <message>
        <source>6월</source>
        <translation>Jun</translation>
    </message>
    <message>
        <source>7월</source>
        <translation>Jul</translation>
    </message>
    <message>
        <source>8월</source>
        <translation>Aug</translation>
    </message>
    <message>
        <source>9월</source>
        <translation>Sep</translation>
    </message>
    <message>
        <source>10월</source>
        <translation>Oct</translation>
    </message>
    <message>
        <source>11월</source>
        <translation>Nov</translation>
    </message>
    <message>
        <source>12월</source>
        <translation>Dec</translation>
    </message>
</context>
<context>
    <name>Password</name>
    <message>
        <source>적절한 암호를 설정하시기 바랍니다.</source>
        <translation>Please choose a password.</translation>
    </message>
    <message>
        <source>암호가 일치하지 않습니다.
다시 입력하세요.</source>
        <translation>The password does not match.
Please try again.</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>설정을 저장할 수 없습니다.</source>
        <translation>The settings could not be saved.</translation>
    </message>
    <message>
        <source>적절한 경로를 설정하시기 바랍니다.</source>
        <translation>Please choose a valid data folder.</translation>
    </message>
</context>
<context>
    <name>Shortcuts</name>
    <message>
        <source>이전 날</source>
        <translation>Previous Day</translation>
    </message>
    <message>
        <source>다음 날</source>
        <translation>Next Day</translation>
    </message>
    <message>
        <source>오늘</source>
        <translation>Today</translation>
    </message>
    <message>
        <source>달력</source>
        <translation>Calendar</translation>
    </message>
    <message>
        <source>편집</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>저장</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>날씨</source>
        <translation>Weather</translation>
    </message>
    <message>
        <source>시간 넣기</source>
        <translation>Insert Time</translation>
    </message>
    <message>
        <source>찾기</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>음성 메모</source>
        <translation>Voice Memo</translation>
    </message>
    <message>
        <source>이 날 지우기</source>
        <translation>Delete This Day</translation>
    </message>
    <message>
        <source>설정</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>크게</source>
        <translation>Zoom In</translation>
    </message>
    <message>
        <source>작게</source>
        <translation>Zoom Out</translation>
    </message>
    <message>
        <source>원래 크기</source>
        <translation>Actual Size</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>ShownDay</name>
    <message>
        <source>일기를 저장할 수 없습니다.</source>
        <translation>The page could not be saved.</translation>
    </message>
    <message>
        <source>일기를 지울 수 없습니다.</source>
        <translation>The page could not be deleted.</translation>
    </message>
    <message>
        <source>일기를 읽을 수 없습니다.</source>
        <translation>The page could not be read.</translation>
    </message>
    <message>
        <source>데이터 폴더를 확인하시기 바랍니다.</source>
        <translation>Please check the data folder.</translation>
    </message>
    <message>
        <source>일기를 정말로 지우시겠습니까?</source>
        <translation>Delete this day&apos;s page?</translation>
    </message>
    <message>
        <source>녹음된 데이터를 정말로 지우시겠습니까?</source>
        <translation>Delete this day&apos;s voice memo?</translation>
    </message>
    <message>
        <source>이 날의 일기가 다른 곳에서 바뀌었습니다.
두 내용을 합쳐 저장했습니다.</source>
        <translation>This day&apos;s page was changed elsewhere.
Both versions were merged and saved.</translation>
    </message>
    <message>
        <source>──── 다른 곳에서 바뀐 내용 ────</source>
        <translation>──── Changed elsewhere ────</translation>
    </message>
    <message>
        <source>이 날의 일기가 다른 곳에서 바뀌어 지우지 않았습니다.
바뀐 내용을 확인하시기 바랍니다.</source>
        <translation>This day&apos;s page was changed elsewhere, so it was not deleted.
Please look at the changes.</translation>
    </message>
    <message>
        <source>이 날의 일기를 다른 곳에서 쓴 사본이 있습니다.
사본의 내용을 이 일기에 합치시겠습니까?</source>
        <translation>A copy of this day&apos;s page was written elsewhere.
Merge the copy into this page?</translation>
    </message>
    <message>
        <source>이 날의 음성 메모를 다른 곳에서 녹음한 사본이 있습니다.
사본을 이 날의 메모로 하시겠습니까?</source>
        <translation>A copy of this day&apos;s voice memo was recorded elsewhere.
Make the copy this day&apos;s memo?</translation>
    </message>
</context>
<context>
    <name>TimeStamp</name>
    <message>
        <source>오전</source>
        <translation>AM</translation>
    </message>
    <message>
        <source>오후</source>
        <translation>PM</translation>
    </message>
</context>
<context>
    <name>Weather</name>
    <message>
        <source>맑음</source>
        <translation>Sunny</translation>
    </message>
    <message>
        <source>구름 조금</source>
        <translation>Partly cloudy</translation>
    </message>
    <message>
        <source>흐림</source>
        <translation>Cloudy</translation>
    </message>
    <message>
        <source>비</source>
        <translation>Rain</translation>
    </message>
    <message>
        <source>눈</source>
        <translation>Snow</translation>
    </message>
</context>
<context>
    <name>Weekday</name>
    <message>
        <source>일</source>
        <translation>Sun</translation>
    </message>
    <message>
        <source>월</source>
        <translation>Mon</translation>
    </message>
    <message>
        <source>화</source>
        <translation>Tue</translation>
    </message>
    <message>
        <source>수</source>
        <translation>Wed</translation>
    </message>
    <message>
        <source>목</source>
        <translation>Thu</translation>
    </message>
    <message>
        <source>금</source>
        <translation>Fri</translation>
    </message>
    <message>
        <source>토</source>
        <translation>Sat</translation>
    </message>
</context>
<context>
    <name>pagelet::DailyBackup</name>
    <message>
        <source>오늘의 백업을 만들지 못했습니다: %1</source>
        <translation>Today&apos;s backup could not be made: %1</translation>
    </message>
</context>
<context>
    <name>pagelet::EarlierYearsMenu</name>
    <message>
        <source>지난 해의 같은 날에 쓴 일기가 없습니다</source>
        <translation>No page on this day in earlier years</translation>
    </message>
</context>
<context>
    <name>pagelet::HistoryDialog</name>
    <message>
        <source>이전 내용</source>
        <translation>Older Versions</translation>
    </message>
    <message>
        <source>%1  %2 바이트  %3</source>
        <translation>%1  %2 bytes  %3</translation>
    </message>
    <message>
        <source>(열 수 없는 버전)</source>
        <translation>(cannot be opened)</translation>
    </message>
    <message>
        <source>이 버전은 열 수 없습니다. 파일이 손상되었거나 다른 키로 암호화되었습니다.</source>
        <translation>This version cannot be opened: its file is damaged or was encrypted with another key.</translation>
    </message>
    <message>
        <source>되돌리기</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>이 날의 이전 내용이 없습니다.</source>
        <translation>No older versions of this day are kept.</translation>
    </message>
    <message>
        <source>지금 쓰고 있는 저장하지 않은 내용은 되돌리기 전에 이전 내용으로 보관됩니다.</source>
        <translation>The unsaved text you are writing is kept as an older version before the restore.</translation>
    </message>
    <message>
        <source>이전 내용을 보관하지 않습니다.</source>
        <translation>Older versions are not kept.</translation>
    </message>
</context>
<context>
    <name>pagelet::PageletWindow</name>
    <message>
        <source>Pagelet - %1</source>
        <translation>Pagelet - %1</translation>
    </message>
    <message>
        <source>%1의 일기</source>
        <translation>Page of %1</translation>
    </message>
    <message>
        <source>복사</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>모두 선택</source>
        <translation>Select &amp;All</translation>
    </message>
    <message>
        <source>모든 일기에서 찾기...</source>
        <translation>Search All Pages...</translation>
    </message>
    <message>
        <source>내보내기...</source>
        <translation>Export...</translation>
    </message>
    <message>
        <source>가져오기...</source>
        <translation>Import...</translation>
    </message>
    <message>
        <source>지난 해 오늘</source>
        <translation>This Day in Earlier Years</translation>
    </message>
    <message>
        <source>이전 내용을 보관하지 못했습니다. 일기는 그대로 저장됩니다.</source>
        <translation>An older version could not be kept. The diary is saved all the same.</translation>
    </message>
    <message>
        <source>이전 내용...</source>
        <translation>Older Versions...</translation>
    </message>
</context>
<context>
    <name>pagelet::RecorderWindow</name>
    <message>
        <source>녹음</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>정지</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>재생</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>녹음 장치를 찾을 수 없습니다.</source>
        <translation>No recording device was found.</translation>
    </message>
    <message>
        <source>재생 장치를 찾을 수 없습니다.</source>
        <translation>No playback device was found.</translation>
    </message>
    <message>
        <source>녹음 파일을 재생할 수 없습니다.</source>
        <translation>The recording cannot be played.</translation>
    </message>
    <message>
        <source>녹음을 저장할 수 없습니다.</source>
        <translation>The recording could not be saved.</translation>
    </message>
    <message>
        <source>녹음 (R)</source>
        <translation>Record (R)</translation>
    </message>
    <message>
        <source>정지 (S)</source>
        <translation>Stop (S)</translation>
    </message>
    <message>
        <source>재생 (P, Space)</source>
        <translation>Play (P, Space)</translation>
    </message>
    <message>
        <source>확인</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>녹음을 두고 닫기 (Enter)</source>
        <translation>Keep the recording and close (Enter)</translation>
    </message>
    <message>
        <source>취소</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>닫고 녹음을 지울지 묻기 (Esc)</source>
        <translation>Close, asking whether to delete the recording (Esc)</translation>
    </message>
    <message>
        <source>지난 시간 / 전체 시간</source>
        <translation>Elapsed / total time</translation>
    </message>
    <message>
        <source>녹음 소리 크기</source>
        <translation>Recording level</translation>
    </message>
</context>
<context>
    <name>pagelet::SearchWindow</name>
    <message>
        <source>결과</source>
        <translation>Results</translation>
    </message>
    <message>
        <source>모든 일기에서 찾기</source>
        <translation>Search All Pages</translation>
    </message>
    <message>
        <source>찾는 단어</source>
        <translation>Find what</translation>
    </message>
    <message>
        <source>대소문자 구별</source>
        <translation>Match case</translation>
    </message>
    <message>
        <source>%1년 %2월 %3일 (%4)</source>
        <translation>%4, %2/%3/%1</translation>
    </message>
    <message>
        <source>찾는 중...</source>
        <translation>Searching...</translation>
    </message>
    <message>
        <source>일기 폴더를 읽을 수 없습니다.</source>
        <translation>The diary folder cannot be read.</translation>
    </message>
    <message>
        <source>찾는 단어가 든 일기가 없습니다.</source>
        <translation>No page contains this word.</translation>
    </message>
    <message numerus="yes">
        <source>%n일</source>
        <translation>
            <numerusform>%n day</numerusform>
            <numerusform>%n days</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>pagelet::WindowMenu</name>
    <message>
        <source>크기</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Pagelet 정보</source>
        <translation>About Pagelet</translation>
    </message>
    <message>
        <source>&lt;b&gt;Pagelet&lt;/b&gt; %1&lt;br&gt;&lt;br&gt;하루 한 장의 개인 일기장&lt;br&gt;&lt;br&gt;MIT 라이선스로 배포합니다.</source>
        <translation>&lt;b&gt;Pagelet&lt;/b&gt; %1&lt;br&gt;&lt;br&gt;A personal diary, one page a day&lt;br&gt;&lt;br&gt;Released under the MIT License.</translation>
    </message>
</context>
<context>
    <name>DayWords</name>
    <message>
        <source>yyyy년 M월 d일 dddd</source>
        <translation>dddd, d MMMM yyyy</translation>
    </message>
</context>
<context>
    <name>pagelet::QtDialog</name>
    <message>
        <source>결과</source>
        <translation>Results</translation>
    </message>
    <message>
        <source>찾은 날</source>
        <translation>found</translation>
    </message>
</context>
<context>
    <name>pagelet::QtMonthCalendar</name>
    <message>
        <source>연도</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>달력</source>
        <translation>Calendar</translation>
    </message>
    <message>
        <source>일기 있음</source>
        <translation>has a page</translation>
    </message>
    <message>
        <source>이전 달</source>
        <translation>Previous Month</translation>
    </message>
    <message>
        <source>다음 달</source>
        <translation>Next Month</translation>
    </message>
</context>
<context>
    <name>CalendarDaysAccessible</name>
    <message>
        <source>yyyy년 M월</source>
        <translation>MMMM yyyy</translation>
    </message>
</context>
</TS>
