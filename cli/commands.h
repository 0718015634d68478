#pragma once

// The subcommands of tessaline-cli. Each takes the arguments after its name
// and returns the exit status: 0 something found or done, 1 nothing found,
// 2 an error (with a message on standard error).
int RunBuild(int argc, char** argv);
int RunSearch(int argc, char** argv);
int RunPage(int argc, char** argv);
int RunCatalog(int argc, char** argv);
int RunImportPoetry(int argc, char** argv);
int RunCheck(int argc, char** argv);
int RunCite(int argc, char** argv);
int RunKwic(int argc, char** argv);
