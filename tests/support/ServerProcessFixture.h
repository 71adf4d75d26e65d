#pragma once

// A test suite sharing one demo server, the build's dravik-server binary started as a process
// (support/DemoServer.h) once per suite: tests of the suite read server().baseHRef(). The
// server's own tests run it in-process instead (server/InProcessServerFixture.h).

#include "support/DemoServer.h"

#include <gtest/gtest.h>

#include <memory>

class ServerTest : public ::testing::Test
{
public:
    static void SetUpTestSuite() { s_server = std::make_unique<DemoServer>(); }
    static void TearDownTestSuite() { s_server.reset(); }
    static DemoServer &server() { return *s_server; }

protected:
    void SetUp() override
    {
        ASSERT_FALSE(s_server->baseHRef().isEmpty()) << s_server->error().toStdString();
    }

private:
    static inline std::unique_ptr<DemoServer> s_server;
};
