// The HTTP service in this process on a free loopback port, over a scratch
// program directory whose projects lead to register simulators, and a real
// HTTP client (cpp-httplib's) to talk to it.
#pragma once

#include <gtest/gtest.h>

#include <httplib.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <memory>
#include <string>
#include <thread>

#include "Service.h"
#include "SimProgramDir.h"

struct TReply {
  int Status = -1;  // -1: no answer (the connection failed)
  QJsonObject Json;
  httplib::Headers Headers;
  std::string Body;
};

class ServeFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override { StopService(); }

  // A project whose serial settings lead to COM port com at 57600 bit/s.
  std::string MakeProject(const std::string &name, int com = TSimProgramDir::Com);
  void StartService(TServeOptions options = {});
  void StopService();

  TReply Send(const std::string &method, const std::string &path, const std::string &body = {},
              const std::string &key = {}, const std::string &contentType = "application/json");
  TReply Get(const std::string &path) { return Send("GET", path); }
  uint64_t FramesIn() { return Env.Sim.Stats().FramesIn; }

  TSimProgramDir Env;
  std::string Project;  // the directory of "Magazin"
  std::unique_ptr<TServeService> Service;
  std::thread Runner;
  std::string Log;
};
