// The transfers reach libcurl through entry points that load it on first use; every kind of
// option argument (long, pointer, function, 64-bit offset) and the query must arrive intact.
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <string>

#include "support/TestFolder.h"

namespace {

size_t Collect(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

struct TFetch {
    CURLcode Result = CURLE_FAILED_INIT;
    std::string Body;
    curl_off_t Downloaded = -1;
};

TFetch FetchFile(const std::string& url, curl_off_t resumeFrom, long noBody) {
    TFetch fetch;
    CURL* easy = curl_easy_init();
    CURLM* multi = curl_multi_init();
    EXPECT_NE(easy, nullptr);
    EXPECT_NE(multi, nullptr);
    if (!easy || !multi) return fetch;
    EXPECT_EQ(curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L), CURLE_OK);
    EXPECT_EQ(curl_easy_setopt(easy, CURLOPT_URL, url.c_str()), CURLE_OK);
    EXPECT_EQ(curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Collect), CURLE_OK);
    EXPECT_EQ(curl_easy_setopt(easy, CURLOPT_WRITEDATA, &fetch.Body), CURLE_OK);
    EXPECT_EQ(curl_easy_setopt(easy, CURLOPT_RESUME_FROM_LARGE, resumeFrom), CURLE_OK);
    EXPECT_EQ(curl_easy_setopt(easy, CURLOPT_NOBODY, noBody), CURLE_OK);
    EXPECT_EQ(curl_multi_add_handle(multi, easy), CURLM_OK);
    int running = 1;
    while (running > 0) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) break;
        if (running > 0) curl_multi_poll(multi, nullptr, 0, 100, nullptr);
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued))
        if (message->msg == CURLMSG_DONE) fetch.Result = message->data.result;
    curl_easy_getinfo(easy, CURLINFO_SIZE_DOWNLOAD_T, &fetch.Downloaded);
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_multi_cleanup(multi);
    return fetch;
}

TEST(CurlLibrary, OptionsOfEveryKindReachTheLibrary) {
    ASSERT_EQ(curl_global_init(CURL_GLOBAL_DEFAULT), CURLE_OK);
    const brindle::test::TestFolder folder;
    const std::string url = "file://" + folder.write("ten.txt", "0123456789");
    struct TCase {
        curl_off_t ResumeFrom;
        long NoBody;
        std::string Body;
    };
    const TCase cases[] = {
        {0, 0L, "0123456789"},
        {3, 0L, "3456789"},
        {9, 0L, "9"},
        // Beyond 4 GiB: a 64-bit offset cut to 32 bits would start at 2 instead of failing.
        {(curl_off_t{1} << 32) + 2, 0L, ""},
        {0, 1L, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "resume " << c.ResumeFrom << " nobody " << c.NoBody);
        const TFetch fetch = FetchFile(url, c.ResumeFrom, c.NoBody);
        if (c.ResumeFrom > 10) {
            EXPECT_NE(fetch.Result, CURLE_OK);
        } else {
            EXPECT_EQ(fetch.Result, CURLE_OK);
            EXPECT_EQ(fetch.Downloaded, static_cast<curl_off_t>(c.Body.size()));
        }
        EXPECT_EQ(fetch.Body, c.Body);
    }
}

}  // namespace
