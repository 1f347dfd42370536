@echo off
echo Hello from the example application.
pause
