#!/bin/sh
exit 1
