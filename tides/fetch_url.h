// One blocking HTTP GET for the tide service, with its failure messages.
#pragma once

#include <string>

// GET `url` with a fresh libcurl handle (redirects followed, 15 s in all).
// Transport errors log "Erreur curl : ..."; a status of 400 or more logs the
// status, the URL (its key masked) and the start of the body. Returns false then.
bool fetchUrl(const std::string& url, std::string& body);

// At most `maxBytes` of `text`, never ending inside a UTF-8 character.
std::string textExcerpt(const std::string& text, size_t maxBytes = 300);

// `url` with the value of its "key" query parameter replaced by "***", so
// logs never carry the service key.
std::string maskKeyInUrl(const std::string& url);

// Percent-encodes everything outside RFC 3986's unreserved characters, so a
// query value cannot break or extend the URL. Ids, dates and keys made of
// letters, digits, '-', '_', '.' and '~' come out unchanged.
std::string encodeQueryValue(const std::string& value);
