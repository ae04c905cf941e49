<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<meta name="Generator" content="Brindle Analyzer">
<style type="text/css">
<!--
<#STYLE_CSS>
-->
</style>
</head>
<body>
<#INFO>
</body>
</html>
