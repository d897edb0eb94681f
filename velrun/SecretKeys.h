// The settings that velrun --report blanks before it bundles a settings
// file: a password, a key, a token or a PIN has no place in a support bundle.
#pragma once

#include <string>

namespace velrun {

// Whether a setting's key names a secret. The key is cut into words at every
// character that is neither a letter nor a digit ("BANK_PASSWORD", "api.key"),
// case ignored. A word that contains PASS, PWD, SECRET or TOKEN names one
// (PASSWORD, PASSWD, DBPWD, CLIENTSECRET, TOKENS); so does a word that is or
// ends in KEY or PIN, also with a plural "S" (KEY, APIKEY, KEYS, USERPIN),
// while words that merely begin with them stay (KEYBOARD, PINPAD, PING).
bool isSecretKey(const std::string& key);

// The text of a settings file with the value of every "KEY=value" line whose
// key names a secret replaced by "<blanked>"; a line written as a comment
// (";KEY=value", "# KEY = value") counts too, an empty value stays empty.
// Every other byte, line ends included, stays as it was.
std::string blankSecretValues(const std::string& text);

}  // namespace velrun
