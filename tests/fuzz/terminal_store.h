// The store behind the terminal port fuzz targets: classes with every kind of text the replies
// must fit (long names, quotes, characters beyond the basic plane, bytes that are not UTF-8, a
// NULL that cannot be read), their periods on every weekday, course rows and teachers.
#pragma once

namespace brenlow::fuzzing {

inline constexpr const char* kTerminalStoreSeed =
    "Insert into tblbj (Name, ZKIP, PCMacAddr, Pass) Values "
    "('一班', '127.0.0.1', 'AA-01', 'pw1'),"
    "('一二三四五六七八九十一二三四五六七八九十一二三四五', '', 'AA-02', "
    "'passwordpasswordpasswordpassword'),"
    "('初''二', '', 'it''s', NULL),"
    "(CAST(X'C3FFE4B8' AS TEXT), '', 'BB-03', '𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞');"
    "Insert into tblkcTime (BJName, Week, StartH, StartM, EndH, EndM, AutoOn, AutoOff, ThName) "
    "Values "
    "('一班', '星期一', '8', '0', '8', '45', 1, 1, '张老师(1-2-3-4)'),"
    "('一班', '星期一', ' ', ' ', ' ', ' ', 0, 0, ' '),"
    "('一班', '星期二', '10', '05', '10', '50', 1, 0, '𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞'),"
    "('一班', '星期三', '123', '4567', '', '', 12, -3, '星期三星期三星期三星期三星期三星期三星期三"
    "星期三星期三星期三星期三星期三星期三星期三'),"
    "('一班', '星期四', '8', '0', '8', '45', 1, 1, '李老师(5-6-7-8)'),"
    "('一班', '星期五', '8', '0', '8', '45', 1, 1, ''),"
    "('一二三四五六七八九十一二三四五六七八九十一二三四五', '星期一', '9', '0', '9', '45', 1, 1, "
    "NULL),"
    "('初''二', '星期一', '9', '0', '9', '45', 1, 1, 'O''Brien(9)');"
    "Insert into tblkc (BJName, Monday, Tuesday, Wednesday, Thursday, Friday) Values "
    "('一班', '语文', '数学', '英语英语英语英语英语英语英语英语英语英语英语英语英语英语英语"
    "英语英语英语英语英语英语英语英语英语英语英语英语', '体育', CAST(X'FF00FF' AS TEXT)),"
    "('一班', '', '', '', '', ''),"
    "('初''二', 'it''s', NULL, '', '', '');"
    "Insert into tblThMes (Numb, Name, NameNumb) Values "
    "('1-2-3-4', '张老师', '张老师(1-2-3-4)'),"
    "('5-6-7-8', '李老师', '李老师(5-6-7-8)'),"
    "('9', 'O''Brien', 'O''Brien(9)'),"
    "('10', '长', '𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞');";

}  // namespace brenlow::fuzzing
