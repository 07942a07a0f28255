/* A stand-in for the curl.exe of Windows, for checking fileup.bat under wine, which has no
 * curl.exe of its own. It answers the one call fileup.bat makes:
 *
 *   curl.exe --silent --show-error --config - --ftp-pasv ... --upload-file FILE ftp://HOST:PORT/
 *
 * Each call appends to the file named by SALDOR_TEST_CURL_RECORD its whole command line (as
 * other users would see it) and the config it read on standard input, one line each. The first
 * SALDOR_TEST_CURL_FAILS calls (counted in that file) fail as curl does, with the status and
 * message of SALDOR_TEST_CURL_FAILURE ("67" by default: a refused login; "7": no server;
 * "leak": a refused login whose message repeats the account); any
 * later call succeeds when FILE can be read. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

static void Append(FILE* out, const wchar_t* text) {
  char utf8[8192];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
  fputs(n > 0 ? utf8 : "?", out);
}

static int Calls(const wchar_t* record) {
  FILE* in = _wfopen(record, L"r");
  int lines = 0;
  if (in == NULL) return 0;
  for (int c; (c = fgetc(in)) != EOF;) lines += c == '\n';
  fclose(in);
  return lines / 2;
}

int wmain(int argc, wchar_t** argv) {
  const wchar_t* record = _wgetenv(L"SALDOR_TEST_CURL_RECORD");
  const wchar_t* fails = _wgetenv(L"SALDOR_TEST_CURL_FAILS");
  const wchar_t* failure = _wgetenv(L"SALDOR_TEST_CURL_FAILURE");
  if (record == NULL) {
    fputs("curl stand-in: SALDOR_TEST_CURL_RECORD is not set\n", stderr);
    return 99;
  }
  const int earlier = Calls(record);

  char config[1024] = "";
  size_t got = fread(config, 1, sizeof config - 1, stdin);
  config[got] = '\0';
  config[strcspn(config, "\r\n")] = '\0';
  FILE* out = _wfopen(record, L"ab");
  if (out == NULL) return 98;
  Append(out, GetCommandLineW());
  fprintf(out, "\nstdin: %s\n", config);
  fclose(out);

  if (earlier < (fails ? _wtoi(fails) : 0)) {
    if (failure != NULL && wcscmp(failure, L"7") == 0) {
      fputs(
          "curl: (7) Failed to connect to 127.0.0.1 port 2121 after 0 ms: "
          "Couldn't connect to server\n",
          stderr);
      return 7;
    }
    if (failure != NULL && wcscmp(failure, L"leak") == 0) {
      /* A message that holds the account, which the log must not repeat. */
      fprintf(stderr, "curl: (67) Access denied for %s\n", config + strcspn(config, "\"") + 1);
      return 67;
    }
    fputs("curl: (67) Access denied: 530\n", stderr);
    return 67;
  }
  for (int i = 1; i + 1 < argc; ++i) {
    if (wcscmp(argv[i], L"--upload-file") != 0) continue;
    FILE* file = _wfopen(argv[i + 1], L"rb");
    if (file == NULL) {
      fputs("curl: (26) Failed to open/read local data from file/application\n", stderr);
      return 26;
    }
    fclose(file);
    return 0;
  }
  fputs("curl: (2) no --upload-file\n", stderr);
  return 2;
}
