// Exceptions thrown by pointer: the TRY/CATCH macros, their clean-up, and error texts.
#include "framework/core.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace
{
int g_alive = 0;

// Counts live instances so the tests can see who deleted what.
class CCountedException : public CException
{
public:
    CCountedException() { ++g_alive; }
    ~CCountedException() override { --g_alive; }
};

const char* Caught(void (*thrower)())
{
    const char* which = "none";
    TRY
    {
        thrower();
    }
    CATCH(CFileException, e)
    {
        which = e->m_cause == CFileException::diskFull ? "file/diskFull" : "file";
    }
    AND_CATCH(CMemoryException, e)
    {
        which = "memory";
    }
    AND_CATCH_ALL(e)
    {
        which = e->IsKindOf(RUNTIME_CLASS(CNotSupportedException)) ? "all/notSupported" : "all";
    }
    END_CATCH_ALL
    return which;
}
} // namespace

TEST(TryCatch, PicksTheFirstMatchingHandlerAndDeletesTheException)
{
    struct Case {
        const char* what;
        void (*thrower)();
        const char* want;
    };
    const Case cases[] = {
        {"file", [] { AfxThrowFileException(CFileException::diskFull); }, "file/diskFull"},
        {"memory", [] { AfxThrowMemoryException(); }, "memory"},
        {"base class handler", [] { AfxThrowNotSupportedException(); }, "all/notSupported"},
        {"own class", [] { THROW(new CCountedException); }, "all"},
        {"nothing thrown", [] {}, "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_STREQ(Caught(c.thrower), c.want);
        EXPECT_EQ(g_alive, 0); // deleted when the handler ended
    }
}

TEST(TryCatch, ThrowLastPassesTheSameObjectOnToTheOuterHandler)
{
    CCountedException* inner = nullptr;
    CException* outer = nullptr;
    try {
        TRY
        {
            THROW(new CCountedException);
        }
        CATCH(CException, e)
        {
            inner = static_cast<CCountedException*>(e);
            THROW_LAST();
        }
        END_CATCH
    } catch (CException* e) {
        outer = e;
    }
    EXPECT_EQ(outer, inner);
    EXPECT_EQ(g_alive, 1); // still alive: the outer catcher owns it now
    outer->Delete();
    EXPECT_EQ(g_alive, 0);

    // A handler that deletes the exception itself leaves nothing for END_CATCH to delete.
    TRY
    {
        THROW(new CCountedException);
    }
    CATCH_ALL(e)
    {
        e->Delete();
        EXPECT_EQ(g_alive, 0);
    }
    END_CATCH_ALL

    CCountedException onStack;
    onStack.m_bAutoDelete = FALSE;
    onStack.Delete(); // must not free a non-heap exception
    EXPECT_EQ(g_alive, 1);
}

TEST(CFileException, MapsSystemErrorsToCauses)
{
    struct Case {
        LONG error;
        int cause;
    };
#ifdef _WIN32
    const Case os[] = {
        {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
        {ERROR_PATH_NOT_FOUND, CFileException::badPath},
        {ERROR_ACCESS_DENIED, CFileException::accessDenied},
        {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
        {ERROR_LOCK_VIOLATION, CFileException::lockViolation},
        {ERROR_DISK_FULL, CFileException::diskFull},
        {ERROR_HANDLE_EOF, CFileException::endOfFile},
        {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
        {12345, CFileException::genericException},
    };
    for (const Case& c : os) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(CFileException::OsErrorToException(c.error), c.cause);
    }
#endif
    const Case posix[] = {
        {ENOENT, CFileException::fileNotFound}, {ENOTDIR, CFileException::badPath},
        {EACCES, CFileException::accessDenied}, {EMFILE, CFileException::tooManyOpenFiles},
        {ENOSPC, CFileException::diskFull},     {0, CFileException::none},
    };
    for (const Case& c : posix) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(CFileException::ErrnoToException(c.error), c.cause);
    }
}

TEST(CFileException, ErrorMessageNamesTheFileAndTruncatesSafely)
{
    const CFileException e(CFileException::fileNotFound, 2, "C:\\music\\a.wav");
    char buf[128];
    UINT help = 99;
    ASSERT_TRUE(e.GetErrorMessage(buf, sizeof buf, &help));
    EXPECT_NE(std::string(buf).find("C:\\music\\a.wav"), std::string::npos) << buf;
    EXPECT_EQ(help, 0u);

    char small[6];
    std::memset(small, 'x', sizeof small);
    ASSERT_TRUE(e.GetErrorMessage(small, sizeof small));
    EXPECT_EQ(std::strlen(small), 5u);

    char none[8] = "junk";
    EXPECT_FALSE(CException().GetErrorMessage(none, sizeof none));
    EXPECT_STREQ(none, "");
}
