#pragma once
// The stored-password cipher of set.ini: Base64 of the password's GBK bytes
// followed by a fixed 14-byte key text. It hides the password from a casual
// look at the file; it is not encryption.
#include <QString>

// Cipher text of a password; never empty (the key alone gives 20 characters).
QString 加密密码(const QString& password);

// The password of a stored cipher text. Blanks and CR LF pairs anywhere are
// ignored; a text whose decoded bytes are 14 or fewer gives "". Only the
// key's length matters, not its content.
QString 解密密码(const QString& stored);
