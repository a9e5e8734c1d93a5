――――――――――――――――
  山田太郎 (KAV00100)  %_YEAR_%/%_MONTH_%/%_DAY_%(%_WEEK_%) %_HOUR_%:%_MIN_%
